#pragma once
// The archive filter window of one station ("Filtr - " + label): a check
// list of the archive parameters of the station's profile. Its work is done
// by TTxFilterList; the window only shows the ticks and passes on the clicks.
#include <QDialog>

#include <string>
#include <vector>

#include "transmission/tx_filter_list.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace kiv {

class TFTxFilter : public QDialog {
    Q_OBJECT
public:
    explicit TFTxFilter(QWidget* parent = nullptr);

    // Fills the list from the station file; show it with exec().
    void Setup(const std::string& stationFile, const std::string& stationLabel,
               std::vector<TTxFilterEntry> archives);
    // The same for the archive list of a profile's parameter items.
    void Setup(const std::string& stationFile, const std::string& stationLabel,
               const std::vector<TParamItem>& profileItems);

    [[nodiscard]] const TTxFilterList& Filter() const { return filter_; }
    [[nodiscard]] QListWidget* List() const { return list_; }
    [[nodiscard]] QPushButton* CheckAllButton() const { return checkAll_; }
    [[nodiscard]] QPushButton* InvertButton() const { return invert_; }
    [[nodiscard]] QPushButton* UncheckAllButton() const { return uncheckAll_; }
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }

public slots:
    void accept() override;
    // "Anuluj", Escape and the title bar: with changes, asks first.
    void reject() override;

private:
    void ShowTicks();
    void OnItemChanged(QListWidgetItem* item);

    TTxFilterList filter_;
    QListWidget* list_;
    QPushButton* checkAll_;
    QPushButton* invert_;
    QPushButton* uncheckAll_;
    QPushButton* ok_;
    QPushButton* cancel_;
    bool filling_ = false;
};

} // namespace kiv
