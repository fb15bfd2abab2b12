#pragma once
// One-line text prompt: the caller hands a title and the current text and
// gets back the edited text after "OK", or the unchanged text otherwise.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kiv {

class TFEditTxt : public QDialog {
    Q_OBJECT
  public:
    explicit TFEditTxt(QWidget *parent = nullptr);

    // Shows the prompt modally: the edited text after "OK", the initial text
    // after "Anuluj" or closing.
    QString Execute(const QString &title, const QString &initial);
    static QString EditText(const QString &title, const QString &initial, QWidget *parent = nullptr);

    QLineEdit *Edit() const { return edit_; }
    QPushButton *OkButton() const { return ok_; }
    QPushButton *CancelButton() const { return cancel_; }

  private:
    QLineEdit *edit_;
    QPushButton *ok_;
    QPushButton *cancel_;
};

} // namespace kiv
