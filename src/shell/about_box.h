#pragma once
// "O programie": the version, the legal notice and the maker's web address.
#include <QDialog>

class QLabel;

namespace kiv {

// Where the about box's link leads.
inline constexpr const char* kMakerWebAddress = "https://kiv.example.org/";

class TFOProgramie : public QDialog {
    Q_OBJECT
public:
    explicit TFOProgramie(QWidget* parent = nullptr);

    [[nodiscard]] static QString VersionText();
    QLabel* VersionLabel() const { return version_; }
    QLabel* LinkLabel() const { return link_; }

private:
    QLabel* version_;
    QLabel* link_;
};

} // namespace kiv
