#pragma once
// The ordered-capacity optimisation below its window TFOptymal and kiv-cli
// optimise. Data flows one way: the analysis period gives the month rows
// (PeriodMonths); with the data source "Archiwum" LoadFromArchive fills their
// Qmax and the winter and summer quantities from the members' "Vn" and "dVn"
// archives; Optimise checks the inputs, narrows the 21 candidate capacities
// around the lowest capacity factor (the capacity-hours billed per m3) and,
// when the five rates convert, prices every candidate. ResultRows and
// ChartPoints give what the result grid and the chart show. The factors are
// kept in single precision, as the candidate table holds them, so that the
// search compares exactly what the table shows. Standard library only.
#include "reports/archive_access.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kiv {

inline constexpr int kCandidateCount = 21;
inline constexpr int kShownResultRows = 12;
inline constexpr int kMinPeriodMonths = 2;
inline constexpr int kMaxPeriodMonths = 12;
inline constexpr int kFirstYear = 1900;
// The archives name a month by the last two digits of its year, 70 and above
// standing for the 1900s: a month of 2070 would read the archive of 1970.
inline constexpr int kLastYear = 2069;
inline constexpr int kRateCount = 5;

// The rate fields' captions, in the order the tariff set stores the rates.
inline constexpr std::array<const char *, kRateCount> kRateCaptions = {
    "Stawka stała  [zł/m3/h]", "Stawka zmienna - zima [zł/m3]", "Stawka zmienna - lato [zł/m3]",
    "Cena gazu [zł/m3]", "Stawka abonamentowa [zł]"};
using TRateTexts = std::array<std::string, kRateCount>;

inline constexpr const char *kPercentTitle =
    "Procentowa zależność opłaty przesyłowej stałej od mocy zamówionej";
inline constexpr const char *kPriceTitleTail = " - średnia cena netto za 1m3 w funkcji mocy zamówionej";

struct TMonthRow {
    int month = 1;
    int year = 2000;
    std::string qmax; // whole m3/h as the grid holds it; empty: none
};

// "01/2024".
[[nodiscard]] std::string MonthLabel(int month, int year);
// The hours from the 1st of the month 00:00:00 to the 1st of the next one.
[[nodiscard]] int MonthHours(int year, int month);
// October to March.
[[nodiscard]] bool IsWinterMonth(int month);
// `count` rows from the start month on, the year advancing after December.
[[nodiscard]] std::vector<TMonthRow> PeriodMonths(int startMonth, int startYear, int count);

struct TMonthPeriod {
    int startMonth = 1;
    int startYear = 2000;
    int months = 12;
};
// January to December of the year before today's.
[[nodiscard]] TMonthPeriod DefaultPeriod(TimeStamp today);

struct TOptimiseInputs {
    std::vector<TMonthRow> months;
    std::string winter; // whole m3; empty: none
    std::string summer;
};

struct TArchiveRequest {
    std::string dataFolder;
    TNumTab members; // a single member is read as that station, whatever its sign
    int hourShift = -2;
    TimeStamp lower = 0;
    TimeStamp upper = 0xFFFFFFFFu;
};

// "Archiwum": each month from its 1st 00:00:00 + shift + 1 s to the next 1st
// + shift. A month with a valid hourly "dVn" gets its largest hourly sum as
// Qmax; the others keep theirs, as do months past kLastYear. A season's
// quantity is written when one of its days had a volume. flows gets the
// summed flow of every hour that had a value, highest first. False, after the
// message, when a month lies outside the accepted limits; the months before
// it are loaded (their flows sorted too), the quantities not.
bool LoadFromArchive(const TArchiveRequest &request, TOptimiseInputs &inputs, std::vector<double> &flows);

struct TMonthFigures {
    int hours = 0;
    long long qmax = 0;
};
// The sum over the months of (P + E) x hours, E being twice the excess of
// Qmax over P, divided by the total quantity.
[[nodiscard]] double CapacityFactor(const std::vector<TMonthFigures> &months, long long total,
                                    int32_t capacity);

struct TRates {
    double fixed = 0;
    double winter = 0;
    double summer = 0;
    double gas = 0;
    double subscription = 0;
};
// Digits with at most one decimal separator, the system's "," or ".";
// nothing else (no sign, no blanks, no exponent).
[[nodiscard]] bool ParseRate(const std::string &text, double &value);
[[nodiscard]] bool ParseRates(const TRateTexts &texts, TRates &rates);
// Whether a rate field may hold the text while it is typed: empty, or digits
// with at most one separator.
[[nodiscard]] bool AcceptableRateText(const std::string &text, const std::string &separator);
// The average net price of 1 m3 in zł at that capacity factor.
[[nodiscard]] float AveragePrice(const TRates &rates, int months, long long winter, long long summer,
                                 float factor);

enum class OptimiseStatus { Running, MissingInputs, MissingRates, TooFewCubicMetres, QuantitiesDisagree, Ok };
[[nodiscard]] const char *StatusText(OptimiseStatus status);

struct TCandidate {
    int32_t capacity = 0;
    float factor = 0;
};
using TCandidates = std::array<TCandidate, kCandidateCount>;

struct TCapacitySearch {
    int32_t lower = 0; // the first table's bounds and step
    int32_t upper = 0;
    int32_t step = 0;
    int32_t firstBest = 0;    // the best capacity of the first table
    TCandidates candidates{}; // the last table
    int best = 0;
    int tables = 0;
};
// Bounds round(Min x 2/3) and round(Max x 4/3), then tables of 21 candidates
// narrowed to where the factor is within 1.1 of the best.
[[nodiscard]] TCapacitySearch SearchCapacity(const std::vector<TMonthFigures> &months, long long total);

struct TOptimisation {
    OptimiseStatus status = OptimiseStatus::MissingInputs;
    bool searched = false; // the search ran: percentages at least
    bool priced = false;   // the prices replace the percentages
    TCapacitySearch search;
    std::array<float, kCandidateCount> prices{};
};
// "Oblicz" on the inputs as they stand.
[[nodiscard]] TOptimisation Optimise(const TOptimiseInputs &inputs, const TRateTexts &rates);

// The candidates the result grid shows: F = max(0, best - 5) to min(F + 11, 20).
[[nodiscard]] int FirstShownCandidate(int best);
[[nodiscard]] int LastShownCandidate(int best);
// "  %" or "  zł/m3".
[[nodiscard]] const char *ResultUnit(const TOptimisation &result);
// The chart title: the percentages' or the label's prices'.
[[nodiscard]] std::string ChartTitle(const TOptimisation &result, const std::string &label);

struct TResultRow {
    std::string capacity;
    std::string value; // percentage with 2 decimals or price with 4, at most 6 significant digits
};
[[nodiscard]] std::vector<TResultRow> ResultRows(const TOptimisation &result, const std::string &separator);

struct TChartPoint {
    double x = 0;
    double y = 0;
};
// One point per candidate: its capacity and percentage or price.
[[nodiscard]] std::vector<TChartPoint> ChartPoints(const TOptimisation &result);

// Fixed notation with `decimals`, rounded at the sixth significant digit when
// that comes first (then padded with zeros), the separator given; beyond six
// whole digits in exponent form ("1,23457E+06"). Empty for a value that is
// not finite.
[[nodiscard]] std::string SignificantText(double value, int decimals, const std::string &separator);

} // namespace kiv
