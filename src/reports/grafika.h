#pragma once
// The graph window TFGrafika: a new window per command, several open at
// once, each kept in the list of open graphs until it closes. The window
// holds a TGraph (graph.h) and draws it on its canvas through the printing
// surface, so the screen and the printed page are the same drawing. Its
// handlers only map menu items, keys and the mouse onto the graph's
// computations and show the read-outs in the status bar (Label1, Panel1,
// Panel2 under the mouse; Panel4, Panel3 at the cursor).
#include "reports/graph.h"
#include "support/gui/print_job.h"

#include <QImage>
#include <QMainWindow>
#include <QPointer>

#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace kiv {

class TGraphCanvas;

class TFGrafika : public QMainWindow {
    Q_OBJECT
  public:
    // A new window for the request; nullptr, after the message, when there
    // is nothing to show.
    static TFGrafika *OpenNew(const TGraphRequest &request, QWidget *parent = nullptr);
    // The graphs open now, oldest first.
    [[nodiscard]] static std::vector<TFGrafika *> OpenGraphs();

    explicit TFGrafika(QWidget *parent = nullptr);
    ~TFGrafika() override;

    // Opens the request in this window; false when nothing could be shown.
    bool Open(const TGraphRequest &request);
    // "<" and ">": back to where it was when the moved period has nothing.
    void StepDays(int days);
    void LastDay();
    void ChooseParameter(int index);
    void ToggleSwitch();
    // A key of the canvas: the cursor, or a day step past the ends.
    void PressKey(TGraphKey key);
    void MouseAt(int x);
    // The one-day graph of the day under x, or nullptr.
    TFGrafika *DoubleClickAt(int x);
    TPrintResult Print(const TPrintDestination &destination);

    [[nodiscard]] const TGraph &Graph() const { return graph_; }
    [[nodiscard]] int Cursor() const { return cursor_; }
    [[nodiscard]] TPlotArea PlotArea() const;
    [[nodiscard]] QString Text(const char *objectName) const;
    [[nodiscard]] QAction *Action(const QString &caption) const;
    [[nodiscard]] QAction *SwitchAction() const { return switch_; }
    [[nodiscard]] QMenu *ParameterMenu() const { return parameters_; }

  protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

  private:
    friend class TGraphCanvas;
    // The graph of the request, or the old one kept (after the message) when
    // the request has nothing to show.
    TGraphOpen Show(const TGraphRequest &request);
    void Render(QSize size);
    void ShowCursor();
    void UpdateMenu();

    TGraph graph_;
    int cursor_ = 0;
    QImage picture_;
    TGraphCanvas *canvas_;
    QLabel *label1_;
    QLabel *panel1_;
    QLabel *panel2_;
    QLabel *panel3_;
    QLabel *panel4_;
    QMenu *parameters_;
    QAction *switch_;
    QAction *print_;
};

// The graph as the window's canvas of that size shows it, above a status bar
// of statusHeight, with the cursor line at the record (-1: none).
[[nodiscard]] QImage GraphPicture(const TGraph &graph, QSize size, int statusHeight, int cursor);
// The plot rectangle of such a picture.
[[nodiscard]] TPlotArea PictureArea(QSize size, int statusHeight);
// The printed page into a landscape PDF file; false (after the message) when
// it could not be written.
[[nodiscard]] bool PrintGraphToPdf(const TGraph &graph, const std::string &file);

} // namespace kiv
