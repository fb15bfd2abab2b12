#pragma once
// Windows keep their place between runs. One application-wide event filter,
// installed by the program start, watches the program's top-level windows:
// on a window's first show it puts the window where it stood last time
// (brought back onto a screen when that place is off every screen) and sets
// its kept ticks; whenever the window hides it stores both in Kiv.ini. No
// window does anything for it beyond having its name.
#include <QObject>
#include <QString>
#include <string>

class QWidget;

namespace kiv {

class TWindowKeeper : public QObject {
    Q_OBJECT
public:
    explicit TWindowKeeper(std::string kivIni, QObject* parent = nullptr);

    // The name a window is kept under: its object name, or its class name
    // without namespace, when that is one of the program's window names
    // ("TF..."); empty for every other widget and for the message dialog.
    [[nodiscard]] static QString WindowKey(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Restore(QWidget* window, const std::string& key) const;
    void Save(QWidget* window, const std::string& key) const;

    std::string kivIni_;
};

} // namespace kiv
