#pragma once
// The current data window TFCurData: the values of a station's last
// read-out, one table per group of its device profile. Everything it shows
// is computed by cur_data_view.h; the window only loads the set once,
// lists the group captions and fills the grid with the rows of the chosen group.
#include <QDialog>

#include "export/cur_data_view.h"

class QComboBox;
class QTableWidget;

namespace kiv {

class TFCurData : public QDialog {
    Q_OBJECT
public:
    explicit TFCurData(QWidget* parent = nullptr);

    // Loads the station's current data; on failure shows the message
    // (caption "Kiv") and returns false: the window is then not to be shown.
    [[nodiscard]] bool Setup(const TCurDataSource& source, const TVnCalc& calc);

    [[nodiscard]] QComboBox* GroupCombo() const { return combo_; }
    [[nodiscard]] QTableWidget* Grid() const { return grid_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowGroup(int index);
    void SizeColumns();
    // Width that shows every text of the column and its header whole.
    [[nodiscard]] int ColumnNeed(int column);

    QComboBox* combo_;
    QTableWidget* grid_;
    TCurDataSet set_;
    TVnCalc calc_;
};

// "Dane bieżące": the window for one station, modal, freed when closed.
void ShowCurrentData(const TCurDataSource& source, const TVnCalc& calc, QWidget* parent);

} // namespace kiv
