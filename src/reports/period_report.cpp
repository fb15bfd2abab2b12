#include "reports/period_report.h"

#include "config/ini_file.h"
#include "config/station_db.h"
#include "config/virtual_stations.h"
#include "datafiles/plik.h"
#include "reports/virtual_series.h"
#include "support/file_replace.h"
#include "support/helpers.h"
#include "support/messages.h"
#include "support/text_encoding.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace kiv {
namespace {

constexpr TimeStamp kHour = 3600;
constexpr TimeStamp kDay = 86400;
constexpr int kHours = 24;
constexpr int kMaxDays = kPeriodMaxColumns - kPeriodFirstDayRow; // 97 days: rows 0..100
constexpr std::size_t kMaxParameters = 255;
constexpr int kMaxPrintColumn = 100;
constexpr double kOutOfReach = 999999999; // start of the daily minimum search, limit of a daily difference
constexpr double kTightCriterion = 0.001; // above it, counters and hours are not compared
constexpr int kLeastDayMinutes = 1439;
constexpr std::size_t kMarkChars = 5;
constexpr int kNarrowestColumn = 50;
constexpr int kColumnMargin = 5;
constexpr int kLinesLeftBelowTable = 8;
constexpr int kSumOffsets[kPeriodSumColumns] = {0, 12, 20, 30, 45, 65, 85};
constexpr const char *kDigits = "1234567890";

// Where the station file and Kiv.ini keep the criterion and the print selection.
constexpr const char *kReports = "Reports";
constexpr const char *kIntegrityCrit = "VIntegrityCrit";
constexpr const char *kKivReports = "KivReports";
constexpr const char *kToPrint = "ToPrint";

// "YYYY.MM.DD", as the report dates its rows and its period.
std::string DotDate(TimeStamp stamp) {
    const TDateTime d = DecodeTime(stamp);
    return std::to_string(d.year) + "." + ZeroPad(d.month, 2) + "." + ZeroPad(d.day, 2);
}

TimeStamp Shifted(TimeStamp stamp, int hours) {
    return static_cast<TimeStamp>(static_cast<int64_t>(stamp) + int64_t{hours} * kHour);
}

bool StartsWith(const std::string &text, const char *prefix) { return text.rfind(prefix, 0) == 0; }
bool EndsWith(const std::string &text, const std::string &suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A rounded whole number, never "-0".
std::string WholeText(double value) {
    const double whole = std::nearbyint(value);
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", whole == 0 ? 0.0 : whole);
    return text;
}

// The columns one parameter fills: a counter's readings and its daily
// column, an increment's hourly minimum (the maximum follows it) and the
// daily column it checks, a measured value's minimum (the maximum follows).
struct TLaidOut {
    TParamItem item;
    int first = -1;
    int daily = -1;
};

int FindColumn(const TPeriodReport &report, const std::string &name) {
    for (std::size_t c = 0; c < report.columns.size(); ++c)
        if (report.columns[c].name == name)
            return static_cast<int>(c);
    return -1;
}

int AddColumn(TPeriodReport &report, const std::string &name, const std::string &unit,
              const std::string &description) {
    report.columns.push_back(
        {name, unit, description, std::vector<TPeriodCell>(static_cast<std::size_t>(report.Rows())), -1});
    return static_cast<int>(report.columns.size()) - 1;
}

bool Fits(const TPeriodReport &report, int more) {
    return static_cast<int>(report.columns.size()) + more <= kPeriodMaxColumns;
}

// A parameter whose columns no longer fit in the table gets none.
TLaidOut LayOut(TPeriodReport &report, const TParamItem &item) {
    // Names, units and descriptions are the archive's bytes, UTF-8 or Windows-1250.
    const std::string name = DecodeText(item.ShortName());
    const std::string unit = DecodeText(item.Unit());
    const std::string description = DecodeText(item.FullName());
    const std::string kind = item.Kind();
    TLaidOut at{item};
    if (kind == "V") {
        // An increment listed before its counter has made the daily column
        // already; a second one would keep the counter's days from the check.
        const int daily = FindColumn(report, name + "d");
        if (!Fits(report, daily < 0 ? 2 : 1))
            return at;
        at.first = AddColumn(report, name, unit, description);
        at.daily = daily < 0 ? AddColumn(report, name + "d", unit, description) : daily;
        return at;
    }
    if (kind == "dV") {
        const std::string dailyName = name.substr(1) + "d";
        at.daily = FindColumn(report, dailyName);
        if (!Fits(report, at.daily < 0 ? 3 : 2))
            return at;
        if (at.daily < 0)
            at.daily = AddColumn(report, dailyName, unit, description);
        at.first = AddColumn(report, name + "hmin", unit + "/h", description);
        (void)AddColumn(report, name + "hmax", unit + "/h", description);
        return at;
    }
    if (!Fits(report, 2))
        return at;
    at.first = AddColumn(report, name + "min", unit, description);
    (void)AddColumn(report, name + "max", unit, description);
    return at;
}

// The first sample stamped after `after`.
std::vector<TReportSample>::const_iterator After(const std::vector<TReportSample> &samples, TimeStamp after) {
    return std::upper_bound(samples.begin(), samples.end(), after,
                            [](TimeStamp t, const TReportSample &s) { return t < s.time; });
}

TimeStamp DayStart(const TPeriodReport &report, int k) { return report.rs + static_cast<TimeStamp>(k - 1) * kDay; }

void FillCounter(TPeriodReport &report, const TLaidOut &at, const std::vector<TReportSample> &samples) {
    std::vector<TPeriodCell> &readings = report.columns[static_cast<std::size_t>(at.first)].cells;
    for (int q = 0; q <= report.days; ++q) {
        const TimeStamp boundary = report.rs - 1 + static_cast<TimeStamp>(q) * kDay;
        for (auto it = After(samples, boundary - 1); it != samples.end() && it->time == boundary; ++it) {
            if (it->validity == 0 || it->status != 1)
                continue;
            TPeriodCell &cell = readings[static_cast<std::size_t>(kPeriodBoundaryRow + q)];
            cell.value = std::trunc(it->value);
            cell.present = it->status;
            cell.reading = true;
            break;
        }
    }
    std::vector<TPeriodCell> &daily = report.columns[static_cast<std::size_t>(at.daily)].cells;
    for (int k = 1; k <= report.days; ++k) {
        const TPeriodCell &from = readings[static_cast<std::size_t>(kPeriodBoundaryRow + k - 1)];
        const TPeriodCell &to = readings[static_cast<std::size_t>(kPeriodBoundaryRow + k)];
        if (from.present > 0 && to.present > 0 && std::fabs(to.value - from.value) < kOutOfReach) {
            TPeriodCell &cell = daily[static_cast<std::size_t>(kPeriodBoundaryRow + k)];
            cell.value = to.value - from.value;
            cell.present = 1;
        }
    }
}

struct THourSum {
    double sum = 0;
    int minutes = 0;
};

// The valid samples of (hourStart, hourStart + 3599], each time once.
THourSum SumHour(const std::vector<TReportSample> &samples, TimeStamp hourStart) {
    THourSum hour;
    bool used = false;
    TimeStamp lastUsed = 0;
    for (auto it = After(samples, hourStart); it != samples.end() && it->time <= hourStart + kHour - 1; ++it) {
        if (it->validity == 0 || it->status != 1 || (used && it->time == lastUsed))
            continue;
        hour.sum += it->value;
        hour.minutes += it->interval;
        lastUsed = it->time;
        used = true;
    }
    return hour;
}

void SetHourCell(TPeriodCell &cell, double sum, TimeStamp hourStart) {
    cell.value = std::nearbyint(sum);
    cell.present = 1;
    cell.note = ZeroPad(DecodeTime(hourStart - 1).hour, 2);
}

void FillIncrementDay(TPeriodReport &report, const TLaidOut &at, const std::vector<TReportSample> &samples, int k) {
    const bool countOver = at.item.ShortName() == "dVn";
    const auto row = static_cast<std::size_t>(kPeriodBoundaryRow + k);
    double total = 0;
    int minutes = 0;
    int smallest = -1;
    int largest = -1;
    std::array<THourSum, kHours> hours{};
    const auto hourStart = [&](int f) { return DayStart(report, k) + static_cast<TimeStamp>(f) * kHour; };
    for (int f = 0; f < kHours; ++f) {
        const THourSum hour = hours[static_cast<std::size_t>(f)] = SumHour(samples, hourStart(f));
        total += hour.sum;
        minutes += hour.minutes;
        if (hour.minutes < 1)
            continue;
        if (countOver && std::nearbyint(hour.sum) > report.capacity)
            ++report.overCapacityHours;
        if (smallest < 0 || hour.sum < hours[static_cast<std::size_t>(smallest)].sum)
            smallest = f;
        if (largest < 0 || hour.sum > hours[static_cast<std::size_t>(largest)].sum)
            largest = f;
    }
    if (smallest >= 0)
        SetHourCell(report.columns[static_cast<std::size_t>(at.first)].cells[row],
                    hours[static_cast<std::size_t>(smallest)].sum, hourStart(smallest));
    if (largest >= 0)
        SetHourCell(report.columns[static_cast<std::size_t>(at.first + 1)].cells[row],
                    hours[static_cast<std::size_t>(largest)].sum, hourStart(largest));
    const double u = std::nearbyint(total);
    TPeriodCell &day = report.columns[static_cast<std::size_t>(at.daily)].cells[row];
    std::string marks;
    if (day.present > 0) {
        const double gap = std::fabs(u - day.value);
        if (report.criterion <= kTightCriterion && gap > 1 && gap > report.criterion * u)
            marks += "!";
    } else {
        day.value = u;
        day.present = 1;
        marks += "*";
    }
    if (minutes < kLeastDayMinutes)
        marks += "?";
    day.note = marks;
}

void FillIncrement(TPeriodReport &report, const TLaidOut &at, const std::vector<TReportSample> &samples) {
    for (int k = 1; k <= report.days; ++k)
        FillIncrementDay(report, at, samples, k);
}

void SetMeasuredCell(TPeriodCell &cell, const TReportSample *extreme) {
    if (extreme == nullptr || extreme->validity < 1) {
        cell.note = "?";
        return;
    }
    const TDateTime t = DecodeTime(extreme->time);
    cell.value = extreme->value;
    cell.present = extreme->validity;
    cell.note = ZeroPad(t.hour, 2) + ":" + ZeroPad(t.minute, 2);
}

void FillMeasured(TPeriodReport &report, const TLaidOut &at, const std::vector<TReportSample> &samples) {
    for (int k = 1; k <= report.days; ++k) {
        const TimeStamp start = DayStart(report, k);
        const TReportSample *low = nullptr;
        const TReportSample *high = nullptr;
        double lowest = kOutOfReach;
        double highest = -kOutOfReach;
        for (auto it = After(samples, start); it != samples.end() && it->time <= start + kDay - 1; ++it) {
            if ((it != samples.begin() && std::prev(it)->time == it->time) || !std::isfinite(it->value))
                continue;
            if (it->value < lowest) {
                lowest = it->value;
                low = &*it;
            }
            if (it->value > highest) {
                highest = it->value;
                high = &*it;
            }
        }
        const auto row = static_cast<std::size_t>(kPeriodBoundaryRow + k);
        SetMeasuredCell(report.columns[static_cast<std::size_t>(at.first)].cells[row], low);
        SetMeasuredCell(report.columns[static_cast<std::size_t>(at.first + 1)].cells[row], high);
    }
}

// The capacity and the criterion: a station's from its file, a virtual
// station's from its entry and Kiv.ini.
void ReadLimits(const TPeriodRequest &request, TPeriodReport &report) {
    int criterion = 0;
    if (report.entry.isVirtual) {
        report.capacity = VirtualOrderedCapacity(request.kivIni, request.dataFolder, report.entry.label);
        criterion = ReadIniInteger(kReports, kIntegrityCrit, 0, request.kivIni);
    } else {
        const std::string file = StationFilePath(request.dataFolder, report.entry.address);
        report.capacity = StationOrderedCapacity(file);
        criterion = ReadIniInteger(kReports, kIntegrityCrit, 0, file);
    }
    report.criterion = criterion == 0 ? 0.0001 : criterion == 1 ? 0.001 : 1.0;
}

std::vector<TReportSample> Samples(const TPeriodRequest &request, const TPeriodReport &report,
                                   const TParamItem &item, TDevSign &cecha) {
    if (report.entry.isVirtual)
        return BuildVirtualSeries(request.dataFolder, report.entry.members, item.ShortName(), item.Kind(), report.rs,
                                  report.re);
    TStationSeries series;
    if (LoadStationSeries(request.dataFolder, report.entry.address, item.ShortName(), report.rs, report.re,
                          item.Kind() == "V", series) == 0)
        cecha = series.cecha;
    return std::move(series.samples);
}

// Counters first, so that an increment listed before its counter still
// finds the counter's days in the daily column.
void FillColumns(const TPeriodRequest &request, TPeriodReport &report, const std::vector<TLaidOut> &laidOut,
                 TDevSign &cecha) {
    for (const bool counters : {true, false})
        for (const TLaidOut &at : laidOut) {
            const std::string kind = at.item.Kind();
            if (at.first < 0 || (kind == "V") != counters || (kind != "V" && kind != "dV" && kind != "m"))
                continue;
            const std::vector<TReportSample> samples = Samples(request, report, at.item, cecha);
            if (kind == "V")
                FillCounter(report, at, samples);
            else if (kind == "dV")
                FillIncrement(report, at, samples);
            else
                FillMeasured(report, at, samples);
        }
}

std::string StatusOf(const TPeriodReport &report) {
    int source = FindColumn(report, "Vnd");
    if (source < 0)
        source = FindColumn(report, "Vrd");
    std::string status;
    if (source >= 0)
        for (int r = kPeriodFirstDayRow; r < report.Rows(); ++r)
            for (const char mark : report.columns[static_cast<std::size_t>(source)].cells[static_cast<std::size_t>(r)]
                                       .note.substr(0, kMarkChars))
                if (status.find(mark) == std::string::npos)
                    status += mark;
    return status.empty() ? "OK" : status;
}

enum class TExtreme { None, Min, Max };

TExtreme ExtremeOf(const std::string &name) {
    if (EndsWith(name, "max"))
        return TExtreme::Max;
    if (EndsWith(name, "min") || name.find("min") != std::string::npos)
        return TExtreme::Min;
    return name.find("max") != std::string::npos ? TExtreme::Max : TExtreme::None;
}

// The smallest present value of a "min" column, the largest one above 0 of a "max" column; the first wins.
int ExtremeRow(const TPeriodColumn &column, int rows) {
    const TExtreme kind = ExtremeOf(column.name);
    int best = -1;
    for (int r = kPeriodBoundaryRow; r < rows && kind != TExtreme::None; ++r) {
        const TPeriodCell &cell = column.cells[static_cast<std::size_t>(r)];
        if (cell.present <= 0)
            continue;
        const double bar = best < 0 ? 0 : column.cells[static_cast<std::size_t>(best)].value;
        if (kind == TExtreme::Min ? (best < 0 || cell.value < bar) : cell.value > bar)
            best = r;
    }
    return best;
}

std::string CellText(const TPeriodColumn &column, const TPeriodCell &cell, const std::string &separator) {
    if (cell.present <= 0)
        return "";
    if (cell.reading) {
        char digits[40];
        std::snprintf(digits, sizeof digits, "%012.0f", std::fabs(std::nearbyint(cell.value)));
        return (cell.value < 0 ? "-" : "") + std::string(digits);
    }
    const bool volume = StartsWith(column.name, "V") || StartsWith(column.name, "dV");
    const std::string text = volume ? FixedText(std::trunc(cell.value), 0, 8, separator)
                                    : FixedText(cell.value, 1, 12, separator);
    // A daily volume carries its marks straight after the number: "1003*".
    return text + (StartsWith(column.name, "V") ? "" : "/") + cell.note;
}

void FormatCells(TPeriodReport &report, const std::string &separator) {
    TPeriodColumn &dates = report.columns[0];
    for (int r = kPeriodBoundaryRow; r < report.Rows(); ++r)
        dates.cells[static_cast<std::size_t>(r)].text =
            DotDate(report.rs + static_cast<TimeStamp>(r - kPeriodBoundaryRow) * kDay);
    for (TPeriodColumn &column : report.columns) {
        column.cells[0].text = column.name;
        column.cells[1].text = column.unit;
    }
    for (std::size_t c = 1; c < report.columns.size(); ++c) {
        TPeriodColumn &column = report.columns[c];
        column.extremeRow = ExtremeRow(column, report.Rows());
        for (int r = kPeriodBoundaryRow; r < report.Rows(); ++r) {
            TPeriodCell &cell = column.cells[static_cast<std::size_t>(r)];
            cell.text = CellText(column, cell, separator);
        }
    }
}

std::string VolumeSum(const TPeriodReport &report, const std::string &name) {
    const TPeriodColumn *column = report.Find(name);
    double sum = 0;
    for (int r = kPeriodFirstDayRow; column != nullptr && r < report.Rows(); ++r)
        if (column->cells[static_cast<std::size_t>(r)].present > 0)
            sum += column->cells[static_cast<std::size_t>(r)].value;
    return WholeText(sum);
}

void Summarise(TPeriodReport &report) {
    report.sum = {VolumeSum(report, "Vnd"), report.status, VolumeSum(report, "Vrd"), std::to_string(report.capacity),
                  "", "", std::to_string(report.overCapacityHours)};
    for (const TPeriodColumn &column : report.columns) {
        if (column.name != "dVnhmax" && column.name != "dVrhmax")
            continue;
        if (column.extremeRow >= 0) {
            const TPeriodCell &cell = column.cells[static_cast<std::size_t>(column.extremeRow)];
            report.sum[4] = WholeText(cell.value);
            report.sum[5] = report.Text(0, column.extremeRow) + "/" + cell.note;
        }
        break;
    }
}

std::string MarkLegend(const std::string &status) {
    static const std::pair<char, const char *> kMeanings[] = {
        {'*', "* doba z przyrostów, bez odczytów licznika"},
        {'!', "! licznik niezgodny z przyrostami"},
        {'?', "? niepełne godziny"}};
    std::string legend;
    for (const auto &[mark, meaning] : kMeanings)
        if (status.find(mark) != std::string::npos)
            legend += (legend.empty() ? "" : ", ") + std::string(meaning);
    return legend.empty() ? "" : " (" + legend + ")";
}

void Describe(TPeriodReport &report, const TDevSign &cecha, const std::string &separator) {
    const TDailyEntry &entry = report.entry;
    const std::string who = entry.isVirtual ? entry.label
                                            : entry.label + " " + DecodeText(cecha.type) + " Nr fabr." +
                                                  DecodeText(cecha.serialNumber);
    report.title = "Stacja nr:" + entry.key + " " + who + ". Raport okresowy za okres: " + DotDate(report.start) +
                   " - " + DotDate(report.end - 1) + " (" + std::to_string(report.hourShift) + "h)";
    char criterion[32];
    std::snprintf(criterion, sizeof criterion, "%g", report.criterion);
    std::string criterionText = criterion;
    if (const std::size_t dot = criterionText.find('.'); dot != std::string::npos)
        criterionText.replace(dot, 1, separator);
    report.statusLines = {"Doba gazowa od " + ZeroPad(((report.hourShift % kHours) + kHours) % kHours, 2) +
                              ":00, dni: " + std::to_string(report.days) +
                              ", moc zamówiona: " + std::to_string(report.capacity) +
                              " m3/h, kryterium: " + criterionText,
                          "Status: " + report.status + MarkLegend(report.status)};
}

} // namespace

const std::string &TPeriodReport::Text(int column, int row) const {
    static const std::string kNone;
    if (column < 0 || column >= static_cast<int>(columns.size()) || row < 0 || row >= Rows())
        return kNone;
    return columns[static_cast<std::size_t>(column)].cells[static_cast<std::size_t>(row)].text;
}

const TPeriodColumn *TPeriodReport::Find(const std::string &name) const {
    const int c = FindColumn(*this, name);
    return c < 0 ? nullptr : &columns[static_cast<std::size_t>(c)];
}

std::string PeriodNoDataText(const std::string &key) {
    return "Brak danych, lub dane ze stacji nr " + key + " niepoprawne";
}

TPeriodBuild BuildPeriodReport(const TPeriodRequest &request, TPeriodReport &report) {
    TPeriodReport built;
    built.entry = SplitDailyEntry(request.entry);
    built.start = request.start;
    built.end = request.end;
    if (!ClipToAcceptedRange(built.start, built.end, request.lower, request.upper))
        return TPeriodBuild::OutsideRange;
    built.hourShift = request.hourShift;
    built.rs = Shifted(built.start, built.hourShift);
    built.re = Shifted(built.end, built.hourShift);
    TParamList parameters = ReportParameters(
        built.entry.isVirtual ? SetVirtualParameters(0)
                              : ListArchiveParameters(request.dataFolder, built.entry.address, built.rs, built.re));
    if (parameters.size() > kMaxParameters)
        parameters.resize(kMaxParameters);
    if (parameters.empty()) {
        (void)MessageDlg("", PeriodNoDataText(built.entry.key), MsgInformation);
        return TPeriodBuild::NoData;
    }
    const double days = built.end > built.start ? std::nearbyint(double(built.re - built.rs) / kDay) : 0;
    built.days = std::min(static_cast<int>(days), kMaxDays);
    (void)AddColumn(built, "Data", "", "");
    std::vector<TLaidOut> laidOut;
    for (const TNProf &parameter : parameters)
        laidOut.push_back(LayOut(built, parameter.descriptor.item));
    ReadLimits(request, built);
    TDevSign cecha;
    FillColumns(request, built, laidOut, cecha);
    built.status = StatusOf(built);
    FormatCells(built, request.decimalSeparator);
    Summarise(built);
    Describe(built, cecha, request.decimalSeparator);
    report = std::move(built);
    return TPeriodBuild::Built;
}

bool MayDropDay(TimeStamp start, TimeStamp end) { return end > start && end - start > kDay; }
bool MayAddDay(TimeStamp start, TimeStamp end) { return end <= start || end - start < kPeriodLongest; }

std::string FixedText(double value, int decimals, int significant, const std::string &separator) {
    double shown = value;
    if (std::isfinite(value) && value != 0) {
        const int whole = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
        if (significant - whole < decimals) {
            const double scale = std::pow(10.0, significant - whole);
            shown = std::nearbyint(value * scale) / scale;
        }
    }
    char text[80];
    std::snprintf(text, sizeof text, "%.*f", decimals, shown);
    std::string out = text;
    if (out.front() == '-' && out.find_first_not_of("-0.") == std::string::npos)
        out.erase(0, 1);
    if (const std::size_t dot = out.find('.'); dot != std::string::npos)
        out.replace(dot, 1, separator);
    return out;
}

std::vector<int> PeriodColumnWidths(const TPeriodReport &report, const TTextWidth &textWidth) {
    std::vector<int> widths;
    for (std::size_t c = 0; c < report.columns.size(); ++c) {
        int widest = kNarrowestColumn;
        for (int r = 0; r < report.Rows(); ++r)
            widest = std::max(widest, textWidth(report.Text(static_cast<int>(c), r)));
        widths.push_back(widest + kColumnMargin);
    }
    return widths;
}

// ---- the print selection ----

TPrintSelection ParseToPrint(const std::string &text) {
    TPrintSelection selection(kMaxPrintColumn + 1, false);
    std::string rest = text;
    while (!rest.empty()) {
        const int column = ParseIniInteger(SplitAt(rest, '&'), 0);
        if (column >= 1 && column <= kMaxPrintColumn)
            selection[static_cast<std::size_t>(column)] = true;
    }
    return selection;
}

std::string FormatToPrint(const TPrintSelection &selection) {
    std::string text;
    for (int c = 1; c <= kMaxPrintColumn && c < static_cast<int>(selection.size()); ++c)
        if (selection[static_cast<std::size_t>(c)])
            text += std::to_string(c) + "&";
    return text;
}

TPrintSelection ReadPrintSelection(const std::string &dataFolder, const TPeriodReport &report) {
    if (report.entry.isVirtual)
        return TPrintSelection(kMaxPrintColumn + 1, true);
    return ParseToPrint(
        ReadIniString(kKivReports, kToPrint, kDefaultToPrint, StationFilePath(dataFolder, report.entry.address)));
}

bool TogglePrintColumn(const std::string &dataFolder, const TPeriodReport &report, int column,
                       TPrintSelection &selection) {
    const int columns = std::min(static_cast<int>(report.columns.size()), kMaxPrintColumn + 1);
    if (report.entry.isVirtual || column < 1 || column >= columns ||
        static_cast<int>(selection.size()) <= column)
        return false;
    TPrintSelection changed = selection;
    changed[static_cast<std::size_t>(column)] = !changed[static_cast<std::size_t>(column)];
    const std::string file = StationFilePath(dataFolder, report.entry.address);
    if (!WriteIniString(kKivReports, kToPrint, FormatToPrint(changed), file)) {
        (void)MessageDlg("", "Nie można zapisać wyboru kolumn do wydruku w pliku " + file, MsgError);
        return false;
    }
    selection = std::move(changed);
    return true;
}

// ---- CSV ----

namespace {

// A value field of the settlement line: the rounded value and ";".
std::string ValueField(const TPeriodReport &report, const char *name, int row) {
    const TPeriodColumn *column = report.Find(name);
    const TPeriodCell *cell = column ? &column->cells[static_cast<std::size_t>(row)] : nullptr;
    return (cell && cell->present > 0 ? WholeText(cell->value) : "") + ";";
}

std::string StandardCsv(const TPeriodReport &report) {
    std::string text;
    for (int r = 0; r < report.Rows(); ++r) {
        if (r == kPeriodMarkRow)
            continue;
        for (std::size_t c = 0; c <= report.columns.size(); ++c)
            text += report.Text(static_cast<int>(c), r) + ";";
        text += "\r\n";
    }
    for (int k = 0; k < kPeriodSumColumns; ++k)
        text += std::string(kPeriodSumHeaders[k]) + ";" + report.sum[static_cast<std::size_t>(k)] + "\r\n";
    return text;
}

std::string SettlementCsv(const TPeriodReport &report) {
    std::string text;
    for (int r = kPeriodFirstDayRow; r < report.Rows(); ++r) {
        const bool last = r + 1 == report.Rows();
        text += report.entry.label + ";;" + report.entry.key + ";" + report.Text(0, r) + ";" +
                ValueField(report, "Vn", r - 1) + ValueField(report, "Vn", r) + ValueField(report, "Vnd", r) +
                std::to_string(report.capacity) + ";" + ValueField(report, "dVnhmin", r) +
                ValueField(report, "dVnhmax", r) + (last ? report.sum[4] : "") + ";" +
                ValueField(report, "Vrd", r) + (last ? report.sum[6] : "") + ";\r\n";
    }
    return text;
}

} // namespace

std::string PeriodCsvText(const TPeriodReport &report, TCsvLayout layout) {
    return layout == TCsvLayout::Standard ? StandardCsv(report) : SettlementCsv(report);
}

std::string PeriodCsvPath(const std::string &chosenPath, const std::string &key) {
    if (chosenPath.empty())
        return "";
    const std::size_t slash = chosenPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : chosenPath.substr(0, slash + 1);
    const std::string name = chosenPath.substr(folder.size());
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c); });
    return folder + key + name.substr(0, lower.find(".csv")) + ".CSV";
}

std::string WritePeriodCsv(const TPeriodReport &report, TCsvLayout layout, const std::string &chosenPath) {
    const std::string path = PeriodCsvPath(chosenPath, report.entry.key);
    if (path.empty())
        return "";
    if (const int rc = ReplaceFile(path, PeriodCsvText(report, layout)); rc != 0) {
        ShowFileError(rc);
        return "";
    }
    return path;
}

// ---- printing ----

namespace {

struct TPrintColumn {
    int column = 0;
    int x = 0;
    int width = 0;
};

struct TPageGeometry {
    int x0 = 0;
    int y0 = 0;
    int line = 1;
    double unit = 1;
    int capacity = INT_MAX;
    int tableWidth = 0;
    std::vector<TPrintColumn> columns;

    [[nodiscard]] int Y(int n) const { return y0 + n * line; }
};

TPageGeometry Geometry(IPrintSurface &surface, const TPeriodPage &page) {
    TPageGeometry g;
    const int width = surface.PageWidth();
    const int height = surface.PageHeight();
    g.line = std::max(1, static_cast<int>(std::lround(1.2 * surface.TextHeight("M"))));
    g.unit = surface.TextWidth("abcdefghij") / 6.0;
    g.x0 = width > height ? width / 20 : width / 7;
    g.y0 = height / 10;
    g.capacity = (height - g.y0) / g.line - kLinesLeftBelowTable;
    const int digits = surface.TextWidth(kDigits);
    const double scale = page.screenDigitsWidth > 0 ? double(digits) / page.screenDigitsWidth : 1.0;
    const double gap = digits / 10.0;
    const auto screen = [&page](std::size_t c) { return c < page.screenWidths.size() ? page.screenWidths[c] : 0; };
    g.columns.push_back({0, g.x0, static_cast<int>(std::lround(scale * screen(0)))});
    // A selected column is a gap wider than its text; it stands right, so the
    // gap keeps it off the dates.
    double x = g.x0 + g.columns.back().width;
    for (std::size_t c = 1; c < page.report.columns.size(); ++c) {
        if (c >= page.selection.size() || !page.selection[c])
            continue;
        const double w = gap + scale * screen(c);
        g.columns.push_back({static_cast<int>(c), static_cast<int>(std::lround(x)), static_cast<int>(std::lround(w))});
        x += w + gap;
    }
    g.tableWidth = static_cast<int>(std::lround(x)) - g.x0;
    return g;
}

// The last UTF-8 character, its continuation bytes with it.
void DropLastCharacter(std::string &text) {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
        text.pop_back();
    if (!text.empty())
        text.pop_back();
}

// The text without surrounding blanks, cut a character at a time until it fits the width.
std::string Fitted(IPrintSurface &surface, const std::string &text, int width) {
    const std::size_t first = text.find_first_not_of(' ');
    std::string fitted = first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') + 1 - first);
    while (!fitted.empty() && surface.TextWidth(fitted) > width)
        DropLastCharacter(fitted);
    return fitted;
}

void DrawRow(IPrintSurface &surface, const TPageGeometry &g, const TPeriodReport &report, int row, int y) {
    for (const TPrintColumn &column : g.columns) {
        const std::string text = Fitted(surface, report.Text(column.column, row), column.width);
        if (text.empty())
            continue;
        const bool underline = column.column > 2 && row == report.columns[static_cast<std::size_t>(column.column)].extremeRow;
        if (underline)
            surface.SetFont(PeriodPrintFont(8, true));
        // Values and their headings stand right in their columns, as on the screen.
        const int x = column.column == 0 ? column.x : column.x + column.width - surface.TextWidth(text);
        surface.TextOut(x, y, text);
        if (underline)
            surface.SetFont(PeriodPrintFont());
    }
}

// TSum in 10 points from the given line, then the status lines and the print date.
void DrawFooter(IPrintSurface &surface, const TPageGeometry &g, const TPeriodReport &report, int line,
                const std::string &printDate) {
    surface.SetFont(PeriodPrintFont(10));
    // A summary text wider than its place moves the next one on, so none overlap.
    int taken = 0;
    for (int k = 0; k < kPeriodSumColumns; ++k) {
        const std::string &value = report.sum[static_cast<std::size_t>(k)];
        const int x = std::max(g.x0 + static_cast<int>(std::lround(g.unit * kSumOffsets[k])), taken);
        surface.TextOut(x, g.Y(line), kPeriodSumHeaders[k]);
        surface.TextOut(x, g.Y(line + 1), value);
        taken = x + std::max(surface.TextWidth(kPeriodSumHeaders[k]), surface.TextWidth(value)) +
                surface.TextWidth("  ");
    }
    line += 2;
    surface.SetFont(PeriodPrintFont());
    int widestStatus = 0;
    for (const std::string &status : report.statusLines) {
        surface.TextOut(g.x0, g.Y(line++), status);
        widestStatus = std::max(widestStatus, surface.TextWidth(status));
    }
    // Half a line above the next line it reaches into the last status line,
    // so it ends where the table ends, or past the status lines when they are wider.
    const std::string printed = "Wydruk wykonano: " + printDate;
    const int x = std::max(g.x0 + g.tableWidth - surface.TextWidth(printed),
                           g.x0 + widestStatus + surface.TextWidth("    "));
    surface.TextOut(x, g.Y(line) - g.line / 2, printed);
}

} // namespace

void DrawPeriodPage(IPrintSurface &surface, const TPeriodPage &page, const std::string &printDate) {
    const TPeriodReport &report = page.report;
    surface.SetFont(PeriodPrintFont());
    const TPageGeometry g = Geometry(surface, page);
    const int underscore = surface.TextWidth("_");
    const std::string rule(underscore > 0 ? static_cast<std::size_t>(std::max(0, g.tableWidth / underscore)) : 0, '_');
    surface.SetFont(PeriodPrintFont(10));
    surface.TextOut(g.x0, g.Y(0), report.title);
    surface.SetFont(PeriodPrintFont());
    surface.TextOut(g.x0, g.Y(1), rule);
    DrawRow(surface, g, report, 0, g.Y(2));
    DrawRow(surface, g, report, 1, g.Y(3));
    surface.TextOut(g.x0, g.Y(4), rule);
    int line = 4; // row 2, the selection marks, prints nothing but the rule
    for (int r = kPeriodMarkRow; r < report.Rows() && !surface.Failed(); ++r, ++line) {
        if (line >= g.capacity) {
            if (!surface.NewPage())
                return;
            line = 1;
        }
        DrawRow(surface, g, report, r, g.Y(line));
    }
    surface.TextOut(g.x0, g.Y(line), rule);
    DrawFooter(surface, g, report, line + 1, printDate);
}

TPeriodPage MakePeriodPage(const TPeriodReport &report, TPrintSelection selection, const TTextWidth &screenWidth) {
    return {report, std::move(selection), PeriodColumnWidths(report, screenWidth), screenWidth(kDigits)};
}

TPrintFont PeriodPrintFont(double points, bool underline) {
    return {.name = "Arial Narrow", .points = points, .bold = false, .underline = underline};
}

} // namespace kiv
