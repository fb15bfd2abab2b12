#include "reports/graph.h"

#include "config/program_settings.h"
#include "config/station_db.h"
#include "config/text_case.h"
#include "config/virtual_stations.h"
#include "reports/period_rules.h"
#include "reports/virtual_series.h"
#include "support/helpers.h"
#include "support/messages.h"
#include "support/text_encoding.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kiv {
namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;
// The mouse's time axis starts a minute before the period.
constexpr int64_t kLeadSeconds = 60;
// Mantissas of scale bounds are compared with this much room, so that 0.07
// (7.000000000000001 x 10^-2 in binary) does not round up to 0.08.
constexpr double kRoom = 1e-9;
constexpr int kTightenRounds = 10;
constexpr int kFlatPixels = 50;

constexpr uint32_t kBackground = 0xC0C0C0;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kGreen = 0x008000;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kYellow = 0xFFFF00;

std::string Format(const char *format, auto... values) {
    char text[128];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string DayText(TimeStamp stamp) {
    const TDateTime d = DecodeTime(stamp);
    return DottedDateText(d.year, d.month, d.day);
}

std::string MomentText(TimeStamp stamp) {
    const TDateTime d = DecodeTime(stamp);
    return DayText(stamp) + Format("   %02u:%02u", d.hour, d.minute);
}

TimeStamp Shifted(TimeStamp stamp, int64_t seconds) {
    return static_cast<TimeStamp>(std::clamp<int64_t>(int64_t{stamp} + seconds, 0, 0xFFFFFFFFll));
}

// The request for the calendar day of the moment, as the period chooser
// gives one day: 00:00:01 to the next day 00:00:00.
TGraphRequest WholeDay(const TGraphRequest &request, TimeStamp moment) {
    const TDate day = DateOf(moment);
    const TPeriod period = ChosenPeriod({day, day});
    TGraphRequest out = request;
    out.start = period.start;
    out.end = period.end;
    return out;
}

bool Drawn(const TReportSample &record) { return record.validity != 0 && record.status == 1; }

// x = m * 10^k with 1 <= |m| < 10; x is not 0.
struct TMantissa {
    double m = 0;
    double power = 1; // 10^k
};
TMantissa Split(double x) {
    int k = static_cast<int>(std::floor(std::log10(std::fabs(x))));
    double power = std::pow(10.0, k);
    double m = x / power;
    if (std::fabs(m) >= 10 - kRoom) {
        power *= 10;
        m /= 10;
    } else if (std::fabs(m) < 1 - kRoom) {
        power /= 10;
        m *= 10;
    }
    return {m, power};
}

int DivisionsOf(int g) {
    switch (g) {
    case 3: case 6: return 6;
    case 4: case 8: return 8;
    case 7: return 7;
    case 9: return 9;
    default: return 5;
    }
}

// A virtual station has no label, device or serial number of its own: its
// title ends after the shift.
std::string StationTitle(const TGraph &graph, const TDevSign &cecha) {
    std::string title = "Stacja nr:" + graph.request.key + ". Wykres " + graph.Shown().displayName +
                        " za okres:" + DayText(graph.request.start) + " - " + DayText(graph.re - 1) + " (" +
                        std::to_string(graph.request.hourShift) + "h) ";
    if (!graph.isVirtual)
        title += graph.request.label + " " + DecodeText(cecha.type) + " Nr fabr." + DecodeText(cecha.serialNumber);
    return title;
}

int OrderedCapacity(const TGraph &graph) {
    if (!graph.isVirtual)
        return StationOrderedCapacity(StationFilePath(graph.request.dataFolder, graph.address));
    const std::string &kivIni = graph.request.kivIni;
    return VirtualOrderedCapacity(kivIni.empty() ? KivIniPathInWorkingFolder() : kivIni, graph.request.dataFolder,
                                  graph.request.label);
}

// The position of the requested parameter in this period's list, or -1.
int ShownParameter(const TGraph &graph) {
    const TGraphRequest &request = graph.request;
    if (!request.parameterName.empty())
        return FindGraphParameter(graph.parameters, request.parameterName);
    return request.parameter >= 0 && request.parameter < static_cast<int>(graph.parameters.size()) ? request.parameter
                                                                                                     : 0;
}

// The shown parameter's samples over RS..RE (a virtual station's hourly sums).
void LoadSamples(TGraph &graph) {
    const TParamItem &item = graph.Shown().descriptor.item;
    TStationSeries series;
    if (graph.isVirtual) {
        series.samples = BuildVirtualSeries(graph.request.dataFolder, graph.members, graph.Shown().name,
                                            item.GraphTitle(), graph.rs, graph.re);
        // Slots no member reached hold nothing to draw.
        if (std::none_of(series.samples.begin(), series.samples.end(), Drawn))
            series.samples.clear();
    } else {
        (void)LoadStationSeries(graph.request.dataFolder, graph.address, graph.Shown().name, graph.rs, graph.re,
                                item.Kind() == "V", series);
    }
    graph.samples = std::move(series.samples);
    graph.title = StationTitle(graph, series.cecha);
}

// Page positions of times and values.
class TGeometry {
  public:
    TGeometry(const TGraph &graph, const TPlotArea &area)
        : area_(area), scale_(GraphScale(graph)), origin_(double(graph.rs) - kLeadSeconds),
          span_(double(graph.re) - double(graph.rs) + kLeadSeconds) {
        pixels_ = scale_.flat ? kFlatPixels * area.dot
                              : std::lround(0.95 * (area.bottom - area.top) / scale_.divisions);
    }
    [[nodiscard]] int X(double time) const {
        return area_.left + static_cast<int>(std::lround((time - origin_) * (area_.right - area_.left) / span_));
    }
    [[nodiscard]] int Y(double value) const {
        return area_.bottom - static_cast<int>(std::lround((value - scale_.lower) / scale_.step * pixels_));
    }
    [[nodiscard]] int GridY(int i) const { return area_.bottom - i * static_cast<int>(pixels_); }
    [[nodiscard]] int ZeroY() const { return scale_.lower >= 0 ? area_.bottom : Y(0); }
    [[nodiscard]] bool Inside(int y) const { return y >= area_.top && y <= area_.bottom; }
    [[nodiscard]] const TPlotArea &Area() const { return area_; }
    [[nodiscard]] const TValueScale &Scale() const { return scale_; }

  private:
    TPlotArea area_;
    TValueScale scale_;
    double origin_;
    double span_;
    long pixels_ = kFlatPixels;
};

TPrintPen Pen(uint32_t colour, int width, bool dotted = false) { return {colour, width, dotted, false}; }

// Ticks are yellow on screen; on paper, where yellow hardly shows, black.
TPrintPen TickPen(const TPlotArea &area) { return Pen(area.paper ? kBlack : kYellow, 3 * area.dot); }

// Text takes the pen's colour.
void TextPen(IPrintSurface &surface) { surface.SetPen(Pen(kBlack, 1)); }

bool Labelled(const TValueScale &scale, int i) { return scale.divisions <= 10 || i % 2 == 0; }

void DrawValueAxis(IPrintSurface &surface, const TGraph &graph, const TGeometry &g) {
    const TPlotArea &a = g.Area();
    const TValueScale &scale = g.Scale();
    const int half = surface.TextHeight("M") / 2;
    for (int i = 0; i <= scale.divisions; ++i) {
        if (!Labelled(scale, i))
            continue;
        const int y = g.GridY(i);
        if (i >= 1) {
            surface.SetPen(Pen(kGrey, 1, true));
            surface.Line(a.left, y, a.right, y);
            surface.SetPen(TickPen(a));
            surface.Line(a.left - 3 * a.dot, y, a.left + 3 * a.dot, y);
        }
        const std::string label = ScaleLabel(scale, i);
        TextPen(surface);
        surface.TextOut(a.left - 5 * a.dot - surface.TextWidth(label), y - half, label);
    }
    const TParamItem &item = graph.Shown().descriptor.item;
    const std::string unit = DecodeText(item.FlowUnit().empty() ? item.Unit() : item.FlowUnit());
    TextPen(surface);
    surface.TextOut(a.left + 5 * a.dot, a.top - 2 * surface.TextWidth("W"), unit);
}

void DrawTimeAxis(IPrintSurface &surface, const TGraph &graph, const TGeometry &g) {
    const TPlotArea &a = g.Area();
    const bool hours = graph.days <= 1;
    const int slots = hours ? 24 : graph.days;
    const int64_t slot = hours ? kHour : kDay;
    const int below = a.bottom + 4 * a.dot;
    for (int i = 0; i <= slots; ++i) {
        const int x = std::min(a.right, g.X(double(graph.rs) + double(i * slot)));
        surface.SetPen(Pen(kGrey, 1, true));
        surface.Line(x, a.top, x, a.bottom);
        surface.SetPen(TickPen(a));
        surface.Line(x, a.bottom - 3 * a.dot, x, a.bottom + 3 * a.dot);
        TextPen(surface);
        if (hours && i >= 1) {
            const std::string label = Format("%02d", (i + graph.request.hourShift + 24) % 24);
            surface.TextOut(x - surface.TextWidth(label) / 2, below, label);
        } else if (!hours && i < slots) {
            const std::string label = std::to_string(DecodeTime(Shifted(graph.request.start, i * kDay)).day);
            const int next = std::min(a.right, g.X(double(graph.rs) + double((i + 1) * slot)));
            surface.TextOut((x + next) / 2 - surface.TextWidth(label) / 2, below, label);
        }
    }
}

// A flow's area under each step grey, and red beyond the capacity.
void DrawFlowFills(IPrintSurface &surface, const TGraph &graph, const TGeometry &g) {
    const int zero = g.ZeroY();
    const double capacity = graph.capacity;
    for (const TReportSample &r : graph.Records()) {
        if (!Drawn(r))
            continue;
        const double value = graph.Plotted(r);
        const int x1 = g.X(double(r.time) - r.interval * 60.0);
        const int x2 = std::max(x1 + 1, g.X(double(r.time)));
        const int y = g.Y(value);
        surface.SetBrush(kGrey);
        surface.FillRect(x1, std::min(y, zero), x2, std::max(y, zero) + 1);
        surface.SetBrush(kRed);
        if (value > capacity)
            surface.FillRect(x1, y, x2, g.Y(capacity) + 1);
        if (g.Scale().lower < 0 && value < -capacity)
            surface.FillRect(x1, g.Y(-capacity), x2, y + 1);
    }
}

void DrawSeries(IPrintSurface &surface, const TGraph &graph, const TGeometry &g) {
    const bool paper = g.Area().paper;
    const int width = paper ? g.Area().dot : 1;
    const uint32_t step = graph.flow && !paper ? kWhite : kGreen;
    const uint32_t overlap = paper ? kBlack : (graph.flow ? kWhite : kYellow);
    bool any = false;
    bool stepPen = false;
    double previousTime = 0;
    int previousY = 0;
    for (const TReportSample &r : graph.Records()) {
        if (!Drawn(r))
            continue;
        const double start = double(r.time) - r.interval * 60.0;
        const int y = g.Y(graph.Plotted(r));
        const bool follows = !any || start >= previousTime;
        if (!any || follows != stepPen)
            surface.SetPen(Pen(follows ? step : overlap, width));
        stepPen = follows;
        if (follows)
            surface.Line(g.X(start), any && start == previousTime ? previousY : g.ZeroY(), g.X(start), y);
        surface.Line(g.X(start), y, g.X(double(r.time)), y);
        any = true;
        previousTime = double(r.time);
        previousY = y;
    }
}

void DrawReferenceLines(IPrintSurface &surface, const TGraph &graph, const TGeometry &g) {
    const TPlotArea &a = g.Area();
    surface.SetPen(Pen(kRed, a.dot));
    for (const double level : {double(graph.capacity), -double(graph.capacity)}) {
        const int y = g.Y(level);
        if (g.Inside(y) && (level > 0 || g.Scale().lower < 0))
            surface.Line(a.left, y, a.right, y);
    }
    surface.SetPen(Pen(kGreen, a.dot));
    surface.Line(a.left, g.ZeroY(), a.right, g.ZeroY());
}

} // namespace

const TGraphParameter &TGraph::Shown() const {
    static const TGraphParameter none;
    const auto at = static_cast<std::size_t>(request.parameter);
    return at < parameters.size() ? parameters[at] : none;
}

const std::vector<TReportSample> &TGraph::Records() const { return zoom && flow ? hourly : samples; }

double TGraph::Plotted(const TReportSample &record) const {
    return flow ? ToFlow(Shown().name, record.interval, record.value) : record.value;
}

int FindGraphParameter(const std::vector<TGraphParameter> &parameters, const std::string &name) {
    for (const bool byName : {true, false})
        for (std::size_t i = 0; i < parameters.size(); ++i)
            if (EqualsNoCase(byName ? parameters[i].name : parameters[i].displayName, name))
                return static_cast<int>(i);
    return -1;
}

TGraphOpen OpenGraph(const TGraphRequest &request, TGraph &graph) {
    graph = TGraph();
    graph.request = request;
    graph.members = ParseMemberFormula(request.key);
    graph.isVirtual = graph.members.size() >= 2;
    graph.address = graph.members.empty() ? 0 : std::abs(graph.members[0]);
    if (!ClipToAcceptedRange(graph.request.start, graph.request.end, request.lower, request.upper))
        return TGraphOpen::OutOfRange;
    graph.rs = Shifted(graph.request.start, request.hourShift * kHour);
    graph.re = Shifted(graph.request.end, request.hourShift * kHour);
    graph.days = std::max<int>(1, static_cast<int>((int64_t{graph.re} - graph.rs + kDay - 1) / kDay));
    if (!graph.isVirtual && graph.address == 0)
        return TGraphOpen::NoArchive;
    const TParamList list = graph.isVirtual ? SetVirtualParameters(1)
                                            : ListArchiveParameters(request.dataFolder, graph.address, graph.rs, graph.re);
    if (list.empty())
        return TGraphOpen::NoArchive;
    for (const TNProf &entry : list)
        if (!entry.name.empty() && entry.descriptor.Found() && !entry.descriptor.item.GraphTitle().empty())
            graph.parameters.push_back({entry.name, FlowName(entry.name), entry.descriptor});
    if (graph.parameters.empty())
        return TGraphOpen::NoParameters;
    graph.request.parameter = ShownParameter(graph);
    if (graph.request.parameter < 0)
        return TGraphOpen::NoParameter;
    graph.request.parameterName = graph.Shown().name;
    graph.flow = IsIncrement(graph.Shown().name);
    graph.capacity = OrderedCapacity(graph);
    LoadSamples(graph);
    return graph.samples.empty() ? TGraphOpen::NoSamples : TGraphOpen::Shown;
}

void ReportGraphOpen(TGraphOpen result, const TGraph &graph) {
    if (result == TGraphOpen::NoParameters)
        (void)MessageDlg("", "Brak danych, lub dane ze stacji nr " + graph.request.key + " niepoprawne",
                         MsgInformation);
    else if (result == TGraphOpen::NoSamples || result == TGraphOpen::NoParameter)
        (void)MessageDlg("", NoSamplesText(graph.request.start, graph.request.end), MsgInformation);
}

std::string NoSamplesText(TimeStamp start, TimeStamp end) {
    const auto date = [](TimeStamp stamp) {
        const TDateTime d = DecodeTime(stamp);
        return Format("%u.%u.%4u", d.day, d.month, d.year);
    };
    return "Brak danych za okres " + date(start) + "-" + date(end - 1);
}

void SetGraphSwitch(TGraph &graph, bool on) {
    graph.zoom = on;
    graph.hourly = on && graph.flow ? HourlySums(graph.samples) : std::vector<TReportSample>();
}

std::string SwitchCaption(const TGraph &graph) {
    if (graph.flow)
        return graph.zoom ? "Próbki" : "Godziny";
    return graph.zoom ? "Zgrubnie" : "Dokładnie";
}

bool SwitchEnabled(const TGraph &graph) { return !graph.isVirtual; }

std::vector<TReportSample> HourlySums(const std::vector<TReportSample> &samples) {
    std::vector<TReportSample> sums;
    TimeStamp last = 0;
    for (const TReportSample &s : samples) {
        if (s.status != 1 || s.time == 0 || s.time <= last)
            continue;
        const TimeStamp end = ((s.time - 1) / kHour + 1) * kHour;
        if (sums.empty() || sums.back().time != end) {
            sums.push_back(s);
            sums.back().time = end;
            sums.back().interval = 60;
            sums.back().value = 0;
        }
        TReportSample &sum = sums.back();
        sum.value += s.value;
        sum.validity = s.validity;
        sum.status = s.status;
        sum.identityIndex = s.identityIndex;
        sum.descriptorIndex = s.descriptorIndex;
        last = s.time;
    }
    return sums;
}

TValueScale RoundedScale(double minimum, double maximum, bool switchOn) {
    double lower = 0;
    double upper = 0;
    if (minimum < 0) {
        const TMantissa low = Split(minimum);
        lower = std::floor(low.m + kRoom) * low.power;
    }
    if (maximum != 0) {
        const TMantissa high = Split(maximum);
        upper = std::ceil(high.m - kRoom) * high.power;
    }
    if (!switchOn && upper < 0)
        upper = 0;
    if (upper <= lower)
        return {lower, 5, 1.0, true};
    const TMantissa range = Split(upper - lower);
    const int g = static_cast<int>(std::ceil(range.m - kRoom));
    const int divisions = DivisionsOf(g);
    return {lower, divisions, g * range.power / divisions, false};
}

TValueScale TightenedScale(TValueScale scale, double minimum, double maximum) {
    if (scale.flat || maximum <= minimum)
        return scale;
    for (int round = 0; round < kTightenRounds; ++round) {
        const double below = std::floor((minimum - scale.lower) / scale.step + kRoom);
        const double above = std::ceil((maximum - scale.lower) / scale.step - kRoom);
        const int steps = static_cast<int>(above - below);
        if (steps <= 0)
            break;
        const double span = steps * scale.step;
        scale.lower += below * scale.step;
        scale.divisions = steps == 1 ? 5 : 2 * steps;
        scale.step = span / scale.divisions;
        if (steps > 2)
            break;
    }
    return scale;
}

TValueScale GraphScale(const TGraph &graph) {
    double maximum = -1000;
    double minimum = 9999999999.0;
    bool any = false;
    for (const TReportSample &r : graph.Records()) {
        if (r.status != 1)
            continue;
        const double value = graph.Plotted(r);
        maximum = std::max(maximum, value);
        minimum = std::min(minimum, value);
        any = true;
    }
    if (!any)
        minimum = maximum = 0;
    const TValueScale scale = RoundedScale(minimum, maximum, graph.zoom);
    return graph.zoom && !graph.flow ? TightenedScale(scale, minimum, maximum) : scale;
}

std::string ScaleLabel(const TValueScale &scale, int i) {
    const double labelStep = scale.divisions > 10 ? 2 * scale.step : scale.step;
    int decimals = 1;
    while (decimals < 6) {
        const double shifted = labelStep * std::pow(10.0, decimals);
        if (std::fabs(shifted - std::round(shifted)) < 1e-6 * std::max(1.0, std::fabs(shifted)))
            break;
        ++decimals;
    }
    return RoundedText(scale.lower + i * scale.step, decimals);
}

TPlotArea ScreenPlotArea(int width, int height, int statusHeight, int labelWidth) {
    return {labelWidth, height / 20, width - static_cast<int>(std::lround(0.02 * width)),
            height - static_cast<int>(std::lround(1.4 * statusHeight)), 1, false};
}

TPlotArea PagePlotArea(int pageWidth, int pageHeight) {
    return {pageWidth / 15, pageHeight / 20, pageWidth - static_cast<int>(std::lround(0.02 * pageWidth)),
            pageHeight - static_cast<int>(std::lround(0.2 * pageHeight)), std::max(1, pageWidth / 800), true};
}

TPrintFont GraphFont() { return {"Ms Sans Serif", 8, false, false}; }

void DrawGraph(IPrintSurface &surface, const TGraph &graph, const TPlotArea &area) {
    surface.SetFont(GraphFont());
    if (!area.paper) {
        surface.SetBrush(kBackground);
        surface.FillRect(0, 0, surface.PageWidth(), surface.PageHeight());
    }
    const TGeometry g(graph, area);
    if (graph.flow && !area.paper)
        DrawFlowFills(surface, graph, g);
    DrawValueAxis(surface, graph, g);
    DrawTimeAxis(surface, graph, g);
    DrawSeries(surface, graph, g);
    if (graph.flow)
        DrawReferenceLines(surface, graph, g);
    surface.SetPen(Pen(kBlue, 2 * area.dot));
    surface.Line(area.left, area.top, area.left, area.bottom);
    surface.Line(area.left, area.bottom, area.right, area.bottom);
    if (area.paper) {
        TextPen(surface);
        surface.TextOut(area.left, area.bottom + 4 * surface.TextHeight("M"), graph.title);
    }
}

void DrawCursor(IPrintSurface &surface, const TGraph &graph, const TPlotArea &area, int record) {
    const auto &records = graph.Records();
    if (record < 0 || record >= static_cast<int>(records.size()))
        return;
    const int x = TGeometry(graph, area).X(double(records[static_cast<std::size_t>(record)].time));
    surface.SetPen({kGrey, 1, false, true});
    surface.Line(x, area.top, x, area.bottom);
}

void DrawGraphPage(IPrintSurface &surface, const TGraph &graph) {
    DrawGraph(surface, graph, PagePlotArea(surface.PageWidth(), surface.PageHeight()));
}

TimeStamp TimeAt(const TGraph &graph, const TPlotArea &area, int x) {
    const int width = std::max(1, area.right - area.left);
    const double fraction = double(std::clamp(x, area.left, area.right) - area.left) / width;
    const double span = double(graph.re) - double(graph.rs) + kLeadSeconds;
    return Shifted(graph.rs, std::llround(-kLeadSeconds + span * fraction));
}

TMouseReadout MouseReadout(const TGraph &graph, const TPlotArea &area, int x) {
    const TimeStamp time = TimeAt(graph, area, x);
    TMouseReadout readout{MomentText(time), "???", "brak"};
    const auto &records = graph.Records();
    const auto next = std::upper_bound(records.begin(), records.end(), time,
                                       [](TimeStamp t, const TReportSample &r) { return t < r.time; });
    if (next == records.end() || int64_t{time} < int64_t{next->time} - next->interval * 60)
        return readout;
    if (next->status != 1) {
        readout.status = "NAN/INF";
        return readout;
    }
    const double value = graph.Plotted(*next);
    readout.value = RoundedText(value, value > 100 ? 1 : 2);
    readout.status = next->validity == 1 ? "OK" : std::to_string(next->validity);
    return readout;
}

TCursorReadout CursorReadout(const TGraph &graph, int record) {
    const auto &records = graph.Records();
    if (record < 0 || record >= static_cast<int>(records.size()))
        return {};
    const TReportSample &r = records[static_cast<std::size_t>(record)];
    const double value = graph.Plotted(r);
    return {MomentText(r.time), value < -99 ? "brak" : RoundedText(value, 3)};
}

TCursorMove MoveCursor(const TGraph &graph, int record, TGraphKey key) {
    const int count = static_cast<int>(graph.Records().size());
    if (count == 0)
        return {0, 0};
    record = std::clamp(record, 0, count - 1);
    const int hour = std::max(1, 60 / std::max(1, int{graph.Records()[static_cast<std::size_t>(record)].interval}));
    int target = record;
    switch (key) {
    case TGraphKey::Left: target = record - 1; break;
    case TGraphKey::Right: target = record + 1; break;
    case TGraphKey::PageUp: target = record - hour; break;
    case TGraphKey::PageDown: target = record + hour; break;
    case TGraphKey::Home: return {0, 0};
    case TGraphKey::End: return {count - 1, 0};
    }
    if (target < 0)
        return {record, -1};
    if (target >= count)
        return {record, 1};
    return {target, 0};
}

TGraphRequest SteppedRequest(const TGraph &graph, int days) {
    TGraphRequest request = graph.request;
    request.start = Shifted(request.start, days * kDay);
    request.end = Shifted(request.end, days * kDay);
    return request;
}

bool DayRequestAt(const TGraph &graph, const TPlotArea &area, int x, TGraphRequest &out) {
    if (graph.days <= 1)
        return false;
    const int64_t since = int64_t{TimeAt(graph, area, x)} - graph.rs;
    const int day = std::clamp(static_cast<int>(since < 0 ? 0 : since / kDay) + 1, 1, graph.days);
    out = WholeDay(graph.request, Shifted(graph.request.start, (day - 1) * kDay));
    return true;
}

bool LastDayRequest(const TGraph &graph, TGraphRequest &out) {
    int64_t newest = -1;
    for (const int32_t member : graph.members)
        newest = std::max(newest, TArchive::NewestSampleTime(graph.request.dataFolder, std::abs(member),
                                                             graph.Shown().name));
    if (newest < 0)
        return false;
    out = WholeDay(graph.request, static_cast<TimeStamp>(newest));
    return true;
}

} // namespace kiv
