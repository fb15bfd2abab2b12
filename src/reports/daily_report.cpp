#include "reports/daily_report.h"

#include "config/station_db.h"
#include "reports/virtual_series.h"
#include "support/helpers.h"
#include "support/text_encoding.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kiv {
namespace {

constexpr TimeStamp kHour = 3600;
constexpr TimeStamp kDay = 86400;
constexpr int kHours = 24;
constexpr int kCellBlanksKept = 7;
constexpr int kHeaderBlanksKept = 12;
constexpr const char *kCounters[] = {"Vn", "Vr"};

std::string DateText(TimeStamp stamp) {
    const TDateTime d = DecodeTime(stamp);
    return DottedDateText(d.year, d.month, d.day);
}

std::string StationTitle(const std::string &dataFolder, const TDailyEntry &entry, const TDevSign &cecha) {
    const TRekStacji station = ReadStationEntry(StationFilePath(dataFolder, entry.address), entry.address);
    return "Stacja nr:" + ZeroPad(entry.address, 5) + ". Raport dobowy " + station.label + " " +
           DecodeText(cecha.type) + " Nr fabr." + DecodeText(cecha.serialNumber);
}

// One hour's accumulators while the samples are walked.
struct THourSum {
    double sum = 0;
    int count = 0;
    int minutes = 0;
    bool error = false;
    bool touched = false; // a sample of the hour was met, valid or not
};

// Rows 2..25 of the column from the samples in time order: sums for the
// increments, averages for the rest.
void FillHours(TDailyGrid &cells, int column, const std::vector<TReportSample> &samples, TimeStamp rs) {
    const bool sums = column <= 2;
    const auto slotEnd = [rs](int e) { return rs + static_cast<TimeStamp>(e) * kHour; };
    THourSum hour;
    bool used = false;
    TimeStamp lastUsed = 0;
    int e = 1;
    for (std::size_t i = 0; i < samples.size() && e <= kHours; ++i) {
        const TReportSample &s = samples[i];
        while (e < kHours && slotEnd(e) < s.time)
            ++e;
        if (slotEnd(e) - kHour < s.time && s.time < slotEnd(e) && !(used && s.time == lastUsed)) {
            hour.touched = true;
            if (s.validity == 0 || s.status != 1) {
                hour.error = true;
            } else {
                hour.sum += s.value;
                ++hour.count;
                hour.minutes += s.interval;
                lastUsed = s.time;
                used = true;
            }
        }
        const bool last = i + 1 == samples.size();
        if (!last && samples[i + 1].time <= slotEnd(e))
            continue;
        if (hour.touched) {
            const double value = sums ? hour.sum : (hour.count == 0 ? 0.0 : hour.sum / hour.count);
            cells[static_cast<std::size_t>(e + 1)][static_cast<std::size_t>(column)] =
                DailyCellText(value, hour.error || hour.minutes != 60);
            ++e;
        }
        hour = THourSum{};
    }
}

// A missing sample reads as 0 with status and validity 0.
const TReportSample *SampleAt(const std::vector<TReportSample> &samples, TimeStamp time) {
    for (const TReportSample &s : samples)
        if (s.time == time)
            return &s;
    return nullptr;
}

long long Reading(const TReportSample *s) {
    return s && std::isfinite(s->value) ? static_cast<long long>(std::trunc(s->value)) : 0;
}

std::string ReadingText(const TReportSample *s) {
    if (!s || s->status != 1)
        return "brak";
    char text[32];
    std::snprintf(text, sizeof text, "%012lld", std::llabs(Reading(s)));
    return text;
}

std::string CounterLine(const std::string &counter, const std::vector<TReportSample> &samples, TimeStamp rs) {
    const TReportSample *first = SampleAt(samples, rs - 1);
    const TReportSample *second = SampleAt(samples, rs - 1 + kDay);
    if (Reading(first) == 0 || Reading(second) == 0)
        return "";
    const bool known = first->status == 1 && second->status == 1 && first->validity != 0 && second->validity != 0;
    const std::string difference = known ? std::to_string(Reading(second) - Reading(first)) : " ?";
    return "Przyrost stanu licznika " + counter + " za okres raportu:" + ReadingText(first) + " / " +
           ReadingText(second) + " = " + difference + " m3";
}

// The samples of a parameter of the entry over the gas day.
std::vector<TReportSample> Samples(const TDailyRequest &request, const TDailyEntry &entry,
                                   const std::string &parameter, const std::string &kind, TimeStamp rs,
                                   TimeStamp re, TDevSign &cecha) {
    if (entry.isVirtual)
        return BuildVirtualSeries(request.dataFolder, entry.members, parameter, kind, rs, re);
    TStationSeries series;
    (void)LoadStationSeries(request.dataFolder, entry.address, parameter, rs, re, kind == "V", series);
    cecha = series.cecha;
    return std::move(series.samples);
}

void FillHeader(TDailyGrid &cells, const TParamList &list, TimeStamp dayStart, int shift) {
    cells[0][0] = DateText(dayStart);
    cells[1][0] = "  Godzina";
    for (int i = 0; i < kHours; ++i)
        cells[static_cast<std::size_t>(i + kDailyHeaderRows)][0] = DailyHourLabel(shift, i);
    for (std::size_t n = 1; n < kDailyColumns; ++n) {
        const TParamDescriptor d = FindDescriptor(list, kDailyParameters[n - 1], 1);
        cells[0][n] = kDailyParameters[n - 1];
        cells[1][n] = d.Found() ? d.item.Unit() : "";
    }
}

} // namespace

TDailyEntry SplitDailyEntry(const std::string &entry) {
    TDailyEntry out;
    const std::size_t at = entry.find('@');
    out.key = entry.substr(0, at);
    out.label = at == std::string::npos ? "" : entry.substr(at + 1);
    out.members = ParseMemberFormula(out.key);
    out.isVirtual = out.members.size() >= 2;
    out.address = out.members.empty() ? 0 : std::abs(out.members.front());
    return out;
}

std::string DailyListText(const TDailyEntry &entry) {
    return entry.isVirtual ? "SUMA  " + entry.label : entry.key + " " + entry.label;
}

std::string DailyHourLabel(int shift, int i) {
    const auto hour = [](int h) { return ((h % kHours) + kHours) % kHours; };
    return "  " + ZeroPad(hour(shift + i), 2) + " - " + ZeroPad(hour(shift + i + 1), 2);
}

std::string DailyCellText(double value, bool flagged) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return std::string(text) + (flagged ? " ?" : "");
}

bool BuildDailyReport(const TDailyRequest &request, TDailyReport &report) {
    const TDailyEntry entry = SplitDailyEntry(request.entry);
    TimeStamp rs = static_cast<TimeStamp>(static_cast<int64_t>(request.dayStart) +
                                          static_cast<int64_t>(request.hourShift) * kHour);
    TimeStamp re = rs + kDay;
    if (!ClipToAcceptedRange(rs, re, request.lower, request.upper))
        return false;
    const TParamList list = entry.isVirtual
                                ? SetVirtualParameters(0)
                                : ReportParameters(ListArchiveParameters(request.dataFolder, entry.address, rs - 1, re));
    TDailyReport built;
    built.title = report.title;
    FillHeader(built.cells, list, request.dayStart, request.hourShift);
    bool titled = false;
    for (std::size_t n = 1; n < kDailyColumns; ++n) {
        const TParamDescriptor d = FindDescriptor(list, kDailyParameters[n - 1], 1);
        if (!d.Found())
            continue;
        TDevSign cecha;
        FillHours(built.cells, static_cast<int>(n),
                  Samples(request, entry, kDailyParameters[n - 1], d.item.Kind(), rs, re, cecha), rs);
        if (!titled)
            built.title = entry.isVirtual ? "Stacja nr:" + entry.key + ". Raport dobowy " + entry.label
                                          : StationTitle(request.dataFolder, entry, cecha);
        titled = true;
    }
    for (std::size_t c = 0; c < 2; ++c) {
        if (!FindDescriptor(list, kCounters[c], 1).Found())
            continue;
        TDevSign cecha;
        built.counterLines[c] = CounterLine(kCounters[c], Samples(request, entry, kCounters[c], "V", rs, re, cecha), rs);
    }
    report = std::move(built);
    return true;
}

std::string AlignDailyText(const std::string &text, int columnWidth, bool header,
                           const std::function<int(const std::string &)> &textWidth) {
    const int blank = static_cast<int>(std::lround(textWidth(std::string(10, ' ')) / 10.0));
    if (blank <= 0)
        return text;
    const int blanks = (columnWidth - textWidth(text)) / blank - (header ? kHeaderBlanksKept : kCellBlanksKept);
    return blanks > 0 ? std::string(static_cast<std::size_t>(blanks), ' ') + text : text;
}

TDailyReport AlignDailyReport(const TDailyReport &report, int columnWidth,
                              const std::function<int(const std::string &)> &textWidth) {
    TDailyReport aligned = report;
    for (std::size_t r = 0; r < kDailyRows; ++r)
        for (std::size_t c = 0; c < kDailyColumns; ++c)
            if (!report.cells[r][c].empty())
                aligned.cells[r][c] = AlignDailyText(report.cells[r][c], columnWidth, r < kDailyHeaderRows, textWidth);
    return aligned;
}

TPrintFont DailyPrintFont(bool bold) { return {.name = "Arial Narrow", .points = 12, .bold = bold}; }

void DrawDailyPage(IPrintSurface &surface, const TDailyReport &report) {
    surface.SetFont(DailyPrintFont());
    const int width = surface.PageWidth();
    const int line = static_cast<int>(std::lround(1.2 * surface.TextHeight("M")));
    const int x0 = width / 9;
    const int y0 = surface.PageHeight() / 10;
    const int pitch = width / 9;
    const int dash = surface.TextWidth("-");
    const std::string rule(dash > 0 ? static_cast<std::size_t>(std::lround(0.9 * width / dash)) : 0, '-');
    surface.SetFont(DailyPrintFont(true));
    surface.TextOut(x0, y0, report.title);
    surface.SetFont(DailyPrintFont());
    surface.TextOut(x0, y0 + 2 * line, rule);
    surface.TextOut(x0, y0 + 5 * line, rule);
    for (int r = 0; r < kDailyRows; ++r) {
        const int y = y0 + (r < kDailyHeaderRows ? r + 3 : r + 4) * line;
        for (int c = 0; c < kDailyColumns; ++c)
            surface.TextOut(x0 + c * pitch, y, report.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    }
    surface.TextOut(x0, y0 + 32 * line, report.counterLines[0]);
    surface.TextOut(x0, y0 + 33 * line, report.counterLines[1]);
}

void DrawDailyPages(IPrintSurface &surface, const std::vector<TDailyReport> &pages) {
    for (std::size_t i = 0; i < pages.size() && !surface.Failed(); ++i) {
        if (i > 0 && !surface.NewPage())
            return;
        DrawDailyPage(surface, pages[i]);
    }
}

bool PrintDailyReports(IPrintSurface &surface, const std::vector<TDailyReport> &pages) {
    if (pages.empty() || !surface.BeginDocument(kDailyDocumentTitle))
        return false;
    DrawDailyPages(surface, pages);
    const bool ended = surface.EndDocument();
    return ended && !surface.Failed();
}

} // namespace kiv
