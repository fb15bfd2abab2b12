#include "capacity/optimisation.h"

#include "reports/period_report.h"
#include "support/helpers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kiv {
namespace {

constexpr double kStartBest = 999999999.0;
constexpr long long kStartMin = 9999999;
constexpr long double kWithin = 1.1L; // how far above the best factor a candidate still counts as near
constexpr int kFirstShownBefore = 5;
// The narrowing ends when the range stops changing; this only guards against a range that alternates.
constexpr int kMostTables = 1000;

// Ties to the even neighbour, as the bounds and steps are rounded.
int32_t RoundEven(double value) {
    return static_cast<int32_t>(std::nearbyint(value));
}

// A whole number as the grid and the quantity fields hold it; false for empty or anything else.
bool ParseWholeNumber(const std::string &text, long long &value) {
    const char *first = text.data();
    const char *last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    return first != last && ec == std::errc() && end == last;
}

long long QuantityOrZero(const std::string &text) {
    long long value = 0;
    return ParseWholeNumber(text, value) ? value : 0;
}

bool HasQuantity(const std::string &text) {
    long long value = 0;
    return ParseWholeNumber(text, value);
}

// The month figures; false when a Qmax is empty.
bool MonthFigures(const std::vector<TMonthRow> &rows, std::vector<TMonthFigures> &figures) {
    figures.clear();
    for (const TMonthRow &row : rows) {
        TMonthFigures f{MonthHours(row.year, row.month), 0};
        if (!ParseWholeNumber(row.qmax, f.qmax))
            return false;
        figures.push_back(f);
    }
    return true;
}

// One table of 21 candidates from lower by step; the first of equal minima is the best.
int FillTable(const std::vector<TMonthFigures> &months, long long total, int32_t lower, int32_t step,
              TCandidates &table) {
    double best = kStartBest;
    int bestIndex = 0;
    for (int i = 0; i < kCandidateCount; ++i) {
        TCandidate &c = table[static_cast<std::size_t>(i)];
        c.capacity = lower + i * step;
        c.factor = static_cast<float>(CapacityFactor(months, total, c.capacity));
        if (c.factor < best) {
            best = c.factor;
            bestIndex = i;
        }
    }
    return bestIndex;
}

long double Near(const TCandidates &table, int best) {
    return kWithin * table[static_cast<std::size_t>(best)].factor;
}

// The capacity before the first candidate near the best, scanning up to the best.
int32_t NarrowedLower(const TCandidates &table, int best) {
    int i = 0;
    while (i <= best && !(table[static_cast<std::size_t>(i)].factor < Near(table, best)))
        ++i;
    return table[static_cast<std::size_t>(i == 0 ? 0 : i - 1)].capacity;
}

// The capacity after the first candidate far above the best, scanning from the best on.
int32_t NarrowedUpper(const TCandidates &table, int best) {
    int i = best;
    while (i < kCandidateCount && !(table[static_cast<std::size_t>(i)].factor > Near(table, best)))
        ++i;
    return table[static_cast<std::size_t>(i < kCandidateCount - 1 ? i + 1 : kCandidateCount - 1)].capacity;
}

} // namespace

std::string MonthLabel(int month, int year) {
    return ZeroPad(month, 2) + "/" + ZeroPad(year, 4);
}

int MonthHours(int year, int month) {
    return DaysInMonth(year, month) * 24;
}

bool IsWinterMonth(int month) {
    return month <= 3 || month >= 10;
}

std::vector<TMonthRow> PeriodMonths(int startMonth, int startYear, int count) {
    std::vector<TMonthRow> rows;
    int month = startMonth;
    int year = startYear;
    for (int k = 0; k < count; ++k) {
        rows.push_back({month, year, ""});
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    return rows;
}

TMonthPeriod DefaultPeriod(TimeStamp today) {
    return {1, DecodeTime(today).year - 1, kMaxPeriodMonths};
}

double CapacityFactor(const std::vector<TMonthFigures> &months, long long total, int32_t capacity) {
    double sum = 0;
    for (const TMonthFigures &m : months) {
        const long long excess = m.qmax > capacity ? 2 * (m.qmax - capacity) : 0;
        sum += static_cast<double>((capacity + excess) * m.hours);
    }
    return sum / static_cast<double>(total);
}

bool ParseRate(const std::string &text, double &value) {
    std::string number;
    int separators = 0;
    int digits = 0;
    for (const char c : text) {
        if (c == ',' || c == '.') {
            ++separators;
            number += '.';
        } else if (c >= '0' && c <= '9') {
            ++digits;
            number += c;
        } else {
            return false;
        }
    }
    if (digits == 0 || separators > 1)
        return false;
    value = std::strtod(number.c_str(), nullptr);
    return true;
}

bool ParseRates(const TRateTexts &texts, TRates &rates) {
    double *const fields[kRateCount] = {&rates.fixed, &rates.winter, &rates.summer, &rates.gas,
                                        &rates.subscription};
    for (std::size_t k = 0; k < texts.size(); ++k)
        if (!ParseRate(texts[k], *fields[k]))
            return false;
    return true;
}

bool AcceptableRateText(const std::string &text, const std::string &separator) {
    std::size_t separators = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (!separator.empty() && text.compare(at, separator.size(), separator) == 0) {
            ++separators;
            at += separator.size();
        } else if (text[at] >= '0' && text[at] <= '9') {
            ++at;
        } else {
            return false;
        }
    }
    return separators <= 1;
}

float AveragePrice(const TRates &rates, int months, long long winter, long long summer, float factor) {
    const long double total = static_cast<long double>(winter + summer);
    const long double price =
        months * static_cast<long double>(rates.subscription) / total +
        static_cast<long double>(rates.fixed) * factor +
        (winter * static_cast<long double>(rates.winter) + summer * static_cast<long double>(rates.summer)) /
            total +
        static_cast<long double>(rates.gas);
    return static_cast<float>(price);
}

const char *StatusText(OptimiseStatus status) {
    switch (status) {
    case OptimiseStatus::Running:
        return "Obliczenia w toku ...";
    case OptimiseStatus::MissingInputs:
        return "Brak kompletu danych wejściowych  dla zadanego przedziału czasu";
    case OptimiseStatus::MissingRates:
        return "Brak kompletu danych taryfowych";
    case OptimiseStatus::TooFewCubicMetres:
        return "Za mała liczba m3 za okres analizy";
    case OptimiseStatus::QuantitiesDisagree:
        return "Liczba m3 za okres analizy niezgodna z miesięcznymi wartościami maksymalnymi";
    case OptimiseStatus::Ok:
        break;
    }
    return "OK";
}

TCapacitySearch SearchCapacity(const std::vector<TMonthFigures> &months, long long total) {
    long long most = 0;
    long long least = kStartMin;
    for (const TMonthFigures &m : months) {
        most = std::max(most, m.qmax);
        least = std::min(least, m.qmax);
    }
    TCapacitySearch s;
    s.lower = RoundEven(static_cast<double>(least) * 2 / 3);
    s.upper = RoundEven(static_cast<double>(most) * 4 / 3);
    s.step = RoundEven((s.upper - s.lower) / 20.0);
    int32_t lower = s.lower;
    int32_t step = s.step;
    int32_t range = s.upper - s.lower;
    while (s.tables < kMostTables) {
        s.best = FillTable(months, total, lower, step, s.candidates);
        if (++s.tables == 1)
            s.firstBest = s.candidates[static_cast<std::size_t>(s.best)].capacity;
        const int32_t newLower = NarrowedLower(s.candidates, s.best);
        const int32_t newUpper = NarrowedUpper(s.candidates, s.best);
        const int32_t oldRange = range;
        range = newUpper - newLower;
        step = RoundEven(range / 20.0);
        if (Near(s.candidates, s.best) >= s.candidates[0].factor || range == oldRange)
            break;
        lower = newLower;
    }
    return s;
}

TOptimisation Optimise(const TOptimiseInputs &inputs, const TRateTexts &rateTexts) {
    TOptimisation result;
    std::vector<TMonthFigures> months;
    const long long winter = QuantityOrZero(inputs.winter);
    const long long summer = QuantityOrZero(inputs.summer);
    const long long total = winter + summer;
    // Both quantities "0" would divide every factor by zero; a negative total (a virtual
    // station's difference) gives factors of no meaning, so it counts as none too.
    if ((!HasQuantity(inputs.winter) && !HasQuantity(inputs.summer)) ||
        !MonthFigures(inputs.months, months) || total <= 0)
        return result;
    result.search = SearchCapacity(months, total);
    // All Qmax 0 leave every candidate at capacity 0 with factor 0: no percentage of it exists.
    const float best = result.search.candidates[static_cast<std::size_t>(result.search.best)].factor;
    if (!(best > 0) || !std::isfinite(best))
        return result;
    result.searched = true;
    TRates rates;
    if (!ParseRates(rateTexts, rates)) {
        result.status = OptimiseStatus::MissingRates;
        return result;
    }
    long long qmaxSum = 0;
    long long capacityHours = 0;
    for (const TMonthFigures &m : months) {
        qmaxSum += m.qmax;
        capacityHours += m.qmax * m.hours;
    }
    result.status = qmaxSum > total         ? OptimiseStatus::TooFewCubicMetres
                    : capacityHours < total ? OptimiseStatus::QuantitiesDisagree
                                            : OptimiseStatus::Ok;
    if (result.status != OptimiseStatus::Ok)
        return result;
    result.priced = true;
    const int count = static_cast<int>(months.size());
    for (std::size_t i = 0; i < result.prices.size(); ++i)
        result.prices[i] = AveragePrice(rates, count, winter, summer, result.search.candidates[i].factor);
    return result;
}

int FirstShownCandidate(int best) {
    return std::max(0, best - kFirstShownBefore);
}

int LastShownCandidate(int best) {
    return std::min(FirstShownCandidate(best) + kShownResultRows - 1, kCandidateCount - 1);
}

const char *ResultUnit(const TOptimisation &result) {
    return result.priced ? "  zł/m3" : "  %";
}

std::string ChartTitle(const TOptimisation &result, const std::string &label) {
    return result.priced ? label + kPriceTitleTail : kPercentTitle;
}

std::vector<TChartPoint> ChartPoints(const TOptimisation &result) {
    std::vector<TChartPoint> points;
    if (!result.searched)
        return points;
    const TCandidates &table = result.search.candidates;
    const double best = table[static_cast<std::size_t>(result.search.best)].factor;
    for (std::size_t i = 0; i < table.size(); ++i)
        points.push_back({static_cast<double>(table[i].capacity), result.priced
                                                                      ? static_cast<double>(result.prices[i])
                                                                      : table[i].factor / best * 100});
    return points;
}

std::vector<TResultRow> ResultRows(const TOptimisation &result, const std::string &separator) {
    std::vector<TResultRow> rows;
    const std::vector<TChartPoint> points = ChartPoints(result);
    if (points.empty())
        return rows;
    const int best = result.search.best;
    for (int i = FirstShownCandidate(best); i <= LastShownCandidate(best); ++i) {
        const TChartPoint &p = points[static_cast<std::size_t>(i)];
        rows.push_back({std::to_string(static_cast<long long>(p.x)),
                        SignificantText(p.y, result.priced ? 4 : 2, separator)});
    }
    return rows;
}

std::string SignificantText(double value, int decimals, const std::string &separator) {
    constexpr int kDigits = 6;
    if (!std::isfinite(value))
        return {};
    if (std::fabs(value) < 1e6)
        return FixedText(value, decimals, kDigits, separator);
    char text[64];
    const auto done =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, kDigits - 1);
    std::string out(text, done.ptr);
    out.replace(out.find('.'), 1, separator);
    out[out.find('e')] = 'E';
    return out;
}

} // namespace kiv
