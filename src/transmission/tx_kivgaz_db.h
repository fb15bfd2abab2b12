#pragma once
// TFTxKivGazDB ("Programowanie przenośnika KivGAZ"): holds the serial line
// open for the transporter while it is being programmed; the program itself
// exchanges nothing on it. "OK" (after the save question) opens the port
// with the transporter's fixed settings and locks the fields; "Stop" closes
// it again. While the port is open the window cannot be closed. The line
// "Łącze" tells the port's state. No close box; Run shows it modal.
#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace kiv {

class TFCommModule;
class TKivGazFields;

class TFTxKivGazDB : public QDialog {
    Q_OBJECT
  public:
    explicit TFTxKivGazDB(TFCommModule& comm, QWidget* parent = nullptr);

    void Setup(const std::string& kivIni);
    // Setup, then modal until the window closes.
    void Run(const std::string& kivIni);

    [[nodiscard]] TKivGazFields* Fields() const { return fields_; }
    [[nodiscard]] QString LineText() const;
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }
    [[nodiscard]] QPushButton* StopButton() const { return stop_; }
    [[nodiscard]] QPushButton* ApplyButton() const { return apply_; }

  public slots:
    // "OK": opens the port.
    void accept() override;
    // "Anuluj" and Escape; refused while the port is open.
    void reject() override;
    // "Stop": closes the port.
    void Stop();

  private:
    void SetOpen(bool open);
    [[nodiscard]] bool AskToSave();

    TFCommModule& comm_;
    std::string kivIni_;
    bool open_ = false;
    bool unsaved_ = false;

    TKivGazFields* fields_;
    QLabel* line_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* stop_;
    QPushButton* apply_;
};

} // namespace kiv
