#pragma once
// The daily report window TFRapDob and its print list TFListaWydrukuDob
// ("Lista do wydruku"). The window holds the station entries, the day start
// and the shift; every step ("<", ">", "-Stacja", "+Stacja", a double click
// in the list) rebuilds the report through daily_report.h and shows its
// cells right-aligned by blanks. "Drukuj" prints the chosen number of days
// of every ticked station, one page each, and leaves the last one shown.
#include "reports/daily_report.h"

#include <QDialog>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QFont;
class QListWidget;
class QPagedPaintDevice;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace kiv {

// What the main window hands over after the period chooser.
struct TDailyReportArgs {
    std::vector<std::string> entries; // "key@label"
    std::string dataFolder;
    TimeStamp dayStart = 0; // D 00:00:01
    TimeStamp end = 0;      // kept, not used
    TimeStamp lower = 0;
    TimeStamp upper = 0xFFFFFFFFu;
    int hourShift = -2;
    std::string kivIni;
};

class TFListaWydrukuDob : public QDialog {
    Q_OBJECT
  public:
    explicit TFListaWydrukuDob(QWidget *parent = nullptr);

    // One ticked line per text, the first selected.
    void SetLines(const std::vector<std::string> &lines);
    [[nodiscard]] int Count() const;
    [[nodiscard]] int Selected() const;
    void Select(int line);
    [[nodiscard]] bool Ticked(int line) const;
    void SetTicked(int line, bool ticked);

    [[nodiscard]] QListWidget *List() const { return list_; }
    [[nodiscard]] QPushButton *TickAllButton() const { return tickAll_; }
    [[nodiscard]] QPushButton *UntickAllButton() const { return untickAll_; }
    [[nodiscard]] QPushButton *OkButton() const { return ok_; }

  signals:
    // A double click: the list closed and the report is to show that line.
    void LineChosen(int line);

  private:
    void TickAll(bool ticked);

    QListWidget *list_;
    QPushButton *tickAll_;
    QPushButton *untickAll_;
    QPushButton *ok_;
};

class TFRapDob : public QWidget {
    Q_OBJECT
  public:
    explicit TFRapDob(QWidget *parent = nullptr);

    void Open(const TDailyReportArgs &args);
    // Rebuilds the report of the selected line and day and brings the window to the front.
    void Build();
    // The chosen number of days of every ticked line, on the surface; S ends
    // at the last printed day. False when the surface failed.
    [[nodiscard]] bool PrintTo(IPrintSurface &surface);

    [[nodiscard]] TimeStamp DayStart() const { return dayStart_; }
    [[nodiscard]] const TDailyReport &Shown() const { return shown_; }
    [[nodiscard]] TFListaWydrukuDob *PrintList() const { return list_; }
    [[nodiscard]] QTableWidget *Table() const { return table_; }
    [[nodiscard]] QPlainTextEdit *CounterLines() const { return counters_; }
    [[nodiscard]] QPushButton *Button(const QString &caption) const;
    [[nodiscard]] QSpinBox *DaysEdit() const { return days_; }

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

  private:
    void StepDay(int days);
    void StepStation(int lines);
    void ShowReport(const TDailyReport &report);
    void UpdateStationButtons();
    void Print();

    TDailyReportArgs args_;
    TimeStamp dayStart_ = 0;
    TDailyReport shown_; // the cells as the table shows them
    TFListaWydrukuDob *list_;
    QTableWidget *table_;
    QPlainTextEdit *counters_;
    QSpinBox *days_;
    std::vector<QPushButton *> buttons_;
};

// The report's cells right-aligned as the window's table shows them in that font.
[[nodiscard]] TDailyReport AlignAsShown(const TDailyReport &report, const QFont &font);
// Built reports, aligned as shown in the application's font, one page each
// into a PDF file; false when the file could not be written.
[[nodiscard]] bool PrintDailyToPdf(const std::vector<TDailyReport> &reports, const std::string &file);

// A printing surface on a printer or a PDF writer, through one painter.
class TPagedSurface : public IPrintSurface {
  public:
    explicit TPagedSurface(QPagedPaintDevice &device);
    ~TPagedSurface() override;
    TPagedSurface(const TPagedSurface &) = delete;
    TPagedSurface &operator=(const TPagedSurface &) = delete;

    bool BeginDocument(const std::string &title) override;
    bool NewPage() override;
    bool EndDocument() override;
    [[nodiscard]] int PageWidth() const override;
    [[nodiscard]] int PageHeight() const override;
    void SetFont(const TPrintFont &font) override;
    void TextOut(int x, int y, const std::string &text) override;
    [[nodiscard]] int TextWidth(const std::string &text) const override;
    [[nodiscard]] int TextHeight(const std::string &text) const override;
    void SetPen(const TPrintPen &pen) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void SetBrush(uint32_t colour) override;
    void FillRect(int left, int top, int right, int bottom) override;
    void StretchPicture(int left, int top, int right, int bottom, const std::string &pictureFile) override;
    [[nodiscard]] bool Failed() const override { return failed_; }

  private:
    struct TState;
    QPagedPaintDevice &device_;
    std::unique_ptr<TState> state_;
    bool failed_ = false;
};

} // namespace kiv
