#pragma once
// The graph of one archived parameter of a station or virtual station over a
// period of up to a month, without widgets. OpenGraph clips the period,
// builds the graphable parameter list (entries with a graph title), reads the
// ordered capacity and loads the samples over the shifted period RS..RE; the
// records drawn are the samples or, for a flow with the switch on, their
// hourly sums. DrawGraph lays the whole picture out on a printing surface
// (the window's canvas, an image, or the printer page): the rounded value
// scale, the time axis of hours or days, the steps of the series, and for a
// flow the capacity line and fills. The read-outs, cursor moves and the
// periods of day steps, double clicks and the last day are computed here
// too, so the window only maps them to widgets. Standard library only;
// messages go through MessageDlg.
#include "reports/archive_access.h"
#include "support/print_surface.h"

#include <string>
#include <vector>

namespace kiv {

inline constexpr const char *kGraphDocumentTitle = "Cennik-Graf";

// What opens a graph: the main window's subject and period, or a graph's own.
struct TGraphRequest {
    std::string dataFolder;
    std::string key; // an address or a member formula
    std::string label;
    int hourShift = -2;
    TimeStamp lower = 0;
    TimeStamp upper = 0xFFFFFFFFu;
    TimeStamp start = 0; // S: the first day 00:00:01
    TimeStamp end = 0;   // E: the day after the last, 00:00:00
    int parameter = 0;   // position in the graphable list, when no name is given
    std::string kivIni;  // where a virtual station's capacity is
    // The shown parameter by name; the list is rebuilt for every period, so a
    // day step or a double click finds it again by this. Wins over the position.
    std::string parameterName;
};

struct TGraphParameter {
    std::string name;
    std::string displayName; // "Qn" for "dVn", "Qr" for "dVr"
    TParamDescriptor descriptor;
};

enum class TGraphOpen {
    Shown,
    NoArchive,    // the station has no month files for the period: nothing is said
    OutOfRange,   // the clip has said so
    NoParameters, // "Brak danych, lub dane ze stacji nr ..."
    NoSamples,    // "Brak danych za okres ..."
    NoParameter,  // the named parameter is not graphable in the period: "Brak danych za okres ..."
};

struct TGraph {
    TGraphRequest request; // the period as clipped, the parameter as found
    TNumTab members;
    bool isVirtual = false;
    int address = 0;
    TimeStamp rs = 0; // S + shift hours
    TimeStamp re = 0;
    int days = 0;
    std::vector<TGraphParameter> parameters;
    bool flow = false;  // dVn or dVr: plotted per hour
    int capacity = 1;   // m3/h
    bool zoom = false;  // the switch ("Powieksz")
    std::vector<TReportSample> samples;
    std::vector<TReportSample> hourly; // the hourly sums of a flow, when the switch is on
    std::string title;

    [[nodiscard]] const TGraphParameter &Shown() const;
    // What is drawn, read out and walked by the cursor.
    [[nodiscard]] const std::vector<TReportSample> &Records() const;
    // The value as plotted: a flow per hour.
    [[nodiscard]] double Plotted(const TReportSample &record) const;
};

// The graphable parameter of that name (without regard to case), else the
// first of that display name; -1 when there is none.
[[nodiscard]] int FindGraphParameter(const std::vector<TGraphParameter> &parameters, const std::string &name);
// Opens the graph of the request; the graph holds what could be read even
// when the result is not Shown. Nothing is shown here (see ReportGraphOpen).
[[nodiscard]] TGraphOpen OpenGraph(const TGraphRequest &request, TGraph &graph);
// The information message of a NoParameters, NoSamples or NoParameter result.
void ReportGraphOpen(TGraphOpen result, const TGraph &graph);
// "Brak danych za okres d.m.yyyy-d.m.yyyy" of S and E - 1.
[[nodiscard]] std::string NoSamplesText(TimeStamp start, TimeStamp end);

// The switch and its menu item: the caption names what a click turns to.
void SetGraphSwitch(TGraph &graph, bool on);
[[nodiscard]] std::string SwitchCaption(const TGraph &graph);
// Shown for every parameter, so that a flow reaches its hourly sums too;
// a virtual station's hourly slots leave nothing to switch.
[[nodiscard]] bool SwitchEnabled(const TGraph &graph);

// Samples with status 1 summed per clock hour, stamped at the hour's end.
[[nodiscard]] std::vector<TReportSample> HourlySums(const std::vector<TReportSample> &samples);

// The value axis: divisions of `step` from `lower`.
struct TValueScale {
    double lower = 0;
    int divisions = 5;
    double step = 1;
    bool flat = false; // no range: divisions drawn a fixed distance apart
    [[nodiscard]] double Upper() const { return lower + divisions * step; }
    bool operator==(const TValueScale &) const = default;
};
// The rounded scale of values minimum..maximum (m x 10^k rule).
[[nodiscard]] TValueScale RoundedScale(double minimum, double maximum, bool switchOn);
// The scale drawn to the data: grid lines below the minimum and above the
// maximum become the bounds, up to 10 rounds.
[[nodiscard]] TValueScale TightenedScale(TValueScale scale, double minimum, double maximum);
// The graph's scale from the extremes of its plotted records.
[[nodiscard]] TValueScale GraphScale(const TGraph &graph);
// A value label: 1 decimal, more when the step needs them to tell labels apart.
[[nodiscard]] std::string ScaleLabel(const TValueScale &scale, int i);

// The plot rectangle, and the size of one screen pixel in page units.
struct TPlotArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int dot = 1;
    bool paper = false;
    bool operator==(const TPlotArea &) const = default;
};
// On a canvas of width x height above a status bar of statusHeight;
// labelWidth is the width of "222222222" in the graph's font.
[[nodiscard]] TPlotArea ScreenPlotArea(int width, int height, int statusHeight, int labelWidth);
[[nodiscard]] TPlotArea PagePlotArea(int pageWidth, int pageHeight);

// "Ms Sans Serif" 8 pt, as the graph writes on screen and paper.
[[nodiscard]] TPrintFont GraphFont();
// The whole picture: on screen with its background and fills, on paper with
// the title under the axis.
void DrawGraph(IPrintSurface &surface, const TGraph &graph, const TPlotArea &area);
// The cursor's exclusive-or line at the record.
void DrawCursor(IPrintSurface &surface, const TGraph &graph, const TPlotArea &area, int record);
// The printed page: the graph on the page geometry.
void DrawGraphPage(IPrintSurface &surface, const TGraph &graph);

// The status line under the mouse: Label1, Panel1, Panel2.
struct TMouseReadout {
    std::string time;
    std::string value;
    std::string status;
};
[[nodiscard]] TimeStamp TimeAt(const TGraph &graph, const TPlotArea &area, int x);
[[nodiscard]] TMouseReadout MouseReadout(const TGraph &graph, const TPlotArea &area, int x);
// Panel4 and Panel3: the cursor record's time and value.
struct TCursorReadout {
    std::string time;
    std::string value;
};
[[nodiscard]] TCursorReadout CursorReadout(const TGraph &graph, int record);

enum class TGraphKey { Left, Right, PageUp, PageDown, Home, End };
// Where a key takes the cursor; dayStep -1 or +1 when it runs past an end.
struct TCursorMove {
    int record = 0;
    int dayStep = 0;
};
[[nodiscard]] TCursorMove MoveCursor(const TGraph &graph, int record, TGraphKey key);

// The same graph a number of days earlier or later.
[[nodiscard]] TGraphRequest SteppedRequest(const TGraph &graph, int days);
// The one-day graph of the day under x; false when one day is shown.
[[nodiscard]] bool DayRequestAt(const TGraph &graph, const TPlotArea &area, int x, TGraphRequest &out);
// The calendar day of the newest record of the shown parameter (of any member
// of a virtual station); false when there is none.
[[nodiscard]] bool LastDayRequest(const TGraph &graph, TGraphRequest &out);

} // namespace kiv
