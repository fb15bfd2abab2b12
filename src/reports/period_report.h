#pragma once
// The period report of one station or virtual station: one row per gas day
// of a period of up to two months, as the report window shows it, kiv-cli
// prints it, the print command lays it out and the two CSV layouts save it.
//
// A build clips the chosen period S..E (S = first day 00:00:01, E = the day
// after the last one, 00:00:00) to the accepted range, shifts it by the
// report hour shift to RS..RE, and lays out the columns of the kept
// parameters by kind: a counter ("V") gives its readings at the day
// boundaries and their daily differences, an increment ("dV") its smallest
// and largest hour of each day and, in the counter's daily column, the
// integrity marks ("*" the day's volume is the hours' sum, "!" counter and
// hours disagree, "?" hours missing), a measured value ("m") its daily
// minimum and maximum with their time. Every day k covers the samples
// stamped in (D(k), D(k) + 86399] with D(k) = RS + (k - 1) * 86400. After
// the parameters come the extremes, the cell texts, the summary TSum, the
// title and the two status lines. Standard library only.
#include "reports/daily_report.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace kiv {

inline constexpr int kPeriodMaxColumns = 101; // the table's own limit, "Data" included
inline constexpr int kPeriodMarkRow = 2;      // the print-selection glyphs
inline constexpr int kPeriodBoundaryRow = 3;  // the counter readings at the period's start
inline constexpr int kPeriodFirstDayRow = 4;
inline constexpr int kPeriodSumColumns = 7;
inline constexpr const char *kPeriodDocumentTitle = "Raport okresowy";
inline constexpr const char *kPeriodSumHeaders[kPeriodSumColumns] = {
    "Suma Vn[m3]", "Status", "Suma Vr[m3]", "Moc[m3/h]", "Maks pobór/h [m3]", "Dzień/godzina", "Czas nad moc [h]"};
// "+Dzień" stays enabled below 62 days less ten seconds.
inline constexpr TimeStamp kPeriodLongest = 5356790;

struct TPeriodRequest {
    std::string entry; // "key@label"
    std::string dataFolder;
    TimeStamp start = 0; // S: the first day 00:00:01
    TimeStamp end = 0;   // E: the day after the last one, 00:00:00
    int hourShift = -2;
    TimeStamp lower = 0;
    TimeStamp upper = 0xFFFFFFFFu;
    std::string kivIni;           // a virtual station's capacity and criterion
    std::string decimalSeparator = ".";
};

struct TPeriodCell {
    double value = 0;
    int16_t present = 0;  // > 0: the cell holds a value
    bool reading = false; // a counter reading, shown with 12 digits
    std::string note;     // the hour, the time or the day's marks
    std::string text;     // as shown
};

struct TPeriodColumn {
    std::string name;
    std::string unit;
    std::string description; // the window's hint for the column
    std::vector<TPeriodCell> cells; // one per row; rows 0..2 carry texts only
    int extremeRow = -1;            // a "min" or "max" column's highlighted row
};

struct TPeriodReport {
    TDailyEntry entry;
    TimeStamp start = 0; // S and E after the clip
    TimeStamp end = 0;
    int hourShift = -2;
    TimeStamp rs = 0; // the shifted period
    TimeStamp re = 0;
    int days = 0;
    int capacity = 1;
    double criterion = 0.0001;
    int overCapacityHours = 0;
    std::string status; // the marks of the volume column, or "OK"
    std::string title;
    std::vector<TPeriodColumn> columns; // column 0 is "Data"
    std::array<std::string, kPeriodSumColumns> sum; // the value row of TSum
    std::array<std::string, 2> statusLines;         // the status bar's two panels

    [[nodiscard]] int Rows() const { return days + kPeriodFirstDayRow; }
    [[nodiscard]] const std::string &Text(int column, int row) const;
    // The first column of that name, or nullptr.
    [[nodiscard]] const TPeriodColumn *Find(const std::string &name) const;
};

enum class TPeriodBuild {
    Built,
    OutsideRange, // the period lies outside the accepted range (message shown)
    NoData,       // no usable parameter (message shown)
};

// Builds the report of the request; on failure the report is left alone.
[[nodiscard]] TPeriodBuild BuildPeriodReport(const TPeriodRequest &request, TPeriodReport &report);
// "Brak danych, lub dane ze stacji nr " + the key + " niepoprawne".
[[nodiscard]] std::string PeriodNoDataText(const std::string &key);

// "-Dzień" and "+Dzień": whether the period may lose or gain a day.
[[nodiscard]] bool MayDropDay(TimeStamp start, TimeStamp end);
[[nodiscard]] bool MayAddDay(TimeStamp start, TimeStamp end);

// A value in fixed notation with that many decimals, rounded to that many
// significant digits.
[[nodiscard]] std::string FixedText(double value, int decimals, int significant, const std::string &separator);

using TTextWidth = std::function<int(const std::string &)>;
// Each column 5 wider than the larger of 50 and its widest text.
[[nodiscard]] std::vector<int> PeriodColumnWidths(const TPeriodReport &report, const TTextWidth &textWidth);

// ---- the print selection ----

// Flags of the columns 0..100 chosen for printing; "Data" always prints.
using TPrintSelection = std::vector<bool>;
inline constexpr const char *kDefaultToPrint = "0&1&2&3&4&5&6&7&8&9&10&11&12&13&14&15";

// The columns whose "&"-separated pieces are whole numbers 1..100.
[[nodiscard]] TPrintSelection ParseToPrint(const std::string &text);
// The chosen columns of 1..100, each followed by "&". Columns past the
// shown report's last one keep their flags: a month with a parameter less
// must not wipe the choice for the months that have it.
[[nodiscard]] std::string FormatToPrint(const TPrintSelection &selection);
// A virtual station prints every column; a station what its file keeps.
[[nodiscard]] TPrintSelection ReadPrintSelection(const std::string &dataFolder, const TPeriodReport &report);
// Flips the column's flag of a station and writes the selection back at
// once; false, leaving the selection, for a virtual station, a column out of
// range, or a station file that could not be written.
[[nodiscard]] bool TogglePrintColumn(const std::string &dataFolder, const TPeriodReport &report, int column,
                                     TPrintSelection &selection);

// ---- CSV ----

enum class TCsvLayout { Standard, Rozliczenie };

[[nodiscard]] std::string PeriodCsvText(const TPeriodReport &report, TCsvLayout layout);
// The file written for the path the save dialog gave: its folder as it is,
// then the key, the name without ".csv" and ".CSV". Empty for an empty path.
[[nodiscard]] std::string PeriodCsvPath(const std::string &chosenPath, const std::string &key);
// Writes the layout to PeriodCsvPath; the path written, or empty when the
// dialog was cancelled or the file could not be written (message shown).
[[nodiscard]] std::string WritePeriodCsv(const TPeriodReport &report, TCsvLayout layout,
                                         const std::string &chosenPath);

// ---- printing ----

// One printed report with what the window adds to it.
struct TPeriodPage {
    TPeriodReport report;
    TPrintSelection selection;
    std::vector<int> screenWidths; // the window's column widths
    int screenDigitsWidth = 0;     // "1234567890" in the window's font
};

[[nodiscard]] TPeriodPage MakePeriodPage(const TPeriodReport &report, TPrintSelection selection,
                                         const TTextWidth &screenWidth);
// The print font: "Arial Narrow", 8 points (10 for the title and the summary).
[[nodiscard]] TPrintFont PeriodPrintFont(double points = 8, bool underline = false);
// One printed report, its first page already begun on the surface;
// printDate follows "Wydruk wykonano:".
void DrawPeriodPage(IPrintSurface &surface, const TPeriodPage &page, const std::string &printDate);

} // namespace kiv
