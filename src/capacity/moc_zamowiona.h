#pragma once
// The ordered capacity window TFMocZamowiona ("Moc zamówiona"), modal. It
// shows "Stacja: " and the node text above a field of at most six digits in
// m3/h, read through ordered_capacity.h: a plain station's PeakFlow or a
// virtual station's capacity field. "OK" stores the field and closes;
// "Anuluj" empties it and closes without storing; Enter in the field moves
// to "OK"; closing otherwise after an edit asks whether to store the value.
#include "capacity/ordered_capacity.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kiv {

class TFMocZamowiona : public QDialog {
    Q_OBJECT
public:
    explicit TFMocZamowiona(QWidget* parent = nullptr);

    // Shows the subject's value without waiting; the field has the focus.
    void Setup(const TCapacitySubject& subject);
    // Setup, then modal.
    void Execute(const TCapacitySubject& subject);

    [[nodiscard]] bool Changed() const { return changed_; }
    [[nodiscard]] QLabel* StationLabel() const { return station_; }
    [[nodiscard]] QLineEdit* Field() const { return field_; }
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }

public slots:
    // "OK": stores the value; a failed write keeps the window open.
    void accept() override;
    // The close box and Escape: after an edit, asks whether to store it.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool Store();

    TCapacitySubject subject_;
    TCapacityShown shown_;
    bool changed_ = false;

    QLabel* station_;
    QLineEdit* field_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace kiv
