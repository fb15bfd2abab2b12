#pragma once
// The daily report of one station or virtual station over one gas day: 24
// hourly rows of the seven fixed parameters and the two counter lines, as
// the report window shows them and kiv-cli prints them, and the page the
// print command puts on a printing surface. The gas day of the day start S
// (D 00:00:01) runs from RS = S + shift hours to RS + 86400; every hour and
// boundary is counted from RS, so a sample stamped on a full hour belongs to
// the hour that ends there. Standard library only.
#include "reports/archive_access.h"
#include "support/print_surface.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace kiv {

inline constexpr int kDailyColumns = 8; // the hour labels, then the seven parameters
inline constexpr int kDailyRows = 26;   // name and unit, then 24 hours
inline constexpr int kDailyHeaderRows = 2;
inline constexpr const char *kDailyParameters[] = {"dVn", "dVr", "P", "t", "dP", "rez1", "rez2"};
inline constexpr const char *kDailyDocumentTitle = "Kiv-raport dobowy";

// A station entry "key@label": the key is an address or a member formula.
struct TDailyEntry {
    std::string key;
    std::string label;
    TNumTab members;
    bool isVirtual = false; // two or more members
    int address = 0;        // of a station: the first member's absolute value
};
[[nodiscard]] TDailyEntry SplitDailyEntry(const std::string &entry);
// The line of the print list: "00012 label" or "SUMA  label".
[[nodiscard]] std::string DailyListText(const TDailyEntry &entry);

struct TDailyRequest {
    std::string entry; // "key@label"
    std::string dataFolder;
    TimeStamp dayStart = 0; // D 00:00:01
    int hourShift = -2;
    TimeStamp lower = 0;
    TimeStamp upper = 0xFFFFFFFFu;
};

using TDailyGrid = std::array<std::array<std::string, kDailyColumns>, kDailyRows>; // [row][column]

struct TDailyReport {
    std::string title; // empty when none of the columns' parameters is there
    TDailyGrid cells;
    std::array<std::string, 2> counterLines; // Vn, then Vr; empty when not shown
};

// Builds the report of the request. False, after the error message, when the
// gas day lies outside the accepted range; the report is then left alone.
[[nodiscard]] bool BuildDailyReport(const TDailyRequest &request, TDailyReport &report);

// "  hh - hh" of hour i (0..23) of a gas day starting at `shift` o'clock.
[[nodiscard]] std::string DailyHourLabel(int shift, int i);
// The text of one hourly cell: the value with two decimals, " ?" after it when flagged.
[[nodiscard]] std::string DailyCellText(double value, bool flagged);

// Right-alignment by blanks: the blanks that fill the column, less 7 for an
// hourly cell and 12 for a header cell, put in front of the text.
[[nodiscard]] std::string AlignDailyText(const std::string &text, int columnWidth, bool header,
                                         const std::function<int(const std::string &)> &textWidth);
// The report with every table cell right-aligned in columns of that width.
[[nodiscard]] TDailyReport AlignDailyReport(const TDailyReport &report, int columnWidth,
                                            const std::function<int(const std::string &)> &textWidth);

// The print font: "Arial Narrow", 12 points.
[[nodiscard]] TPrintFont DailyPrintFont(bool bold = false);
// The page of one report, its texts as shown (already aligned).
void DrawDailyPage(IPrintSurface &surface, const TDailyReport &report);
// One page per report, in order, the first on the page at hand and a new
// page before each further one.
void DrawDailyPages(IPrintSurface &surface, const std::vector<TDailyReport> &pages);
// One document "Kiv-raport dobowy" holding one page per report, in order.
// False when the surface failed somewhere in the job.
[[nodiscard]] bool PrintDailyReports(IPrintSurface &surface, const std::vector<TDailyReport> &pages);

} // namespace kiv
