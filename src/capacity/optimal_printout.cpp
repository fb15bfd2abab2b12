#include "capacity/optimal_printout.h"

#include <algorithm>
#include <cmath>

namespace kiv {
namespace {

constexpr int kInputsLine = 2;
constexpr int kGridLine = 4;
constexpr int kWinterLine = 19;
constexpr int kRatesLine = 23;
constexpr int kChartLine = 31;
constexpr int kChartBottomLine = 54;

struct TLayout {
    int line = 0;   // L: 1.2 x the height of "M"
    int column = 0; // a grid column
    int x = 0;      // left margin, an eighth of the page width
    int y = 0;      // top margin, an eighth of the page height
    int half = 0;   // where the right half starts
    int width = 0;
};

TPrintFont Font(bool bold = false, bool underline = false) {
    return {"Arial Narrow", 10, bold, underline};
}

TLayout Measure(IPrintSurface &surface) {
    surface.SetFont(Font());
    TLayout l;
    l.line = static_cast<int>(std::lround(1.2 * surface.TextHeight("M")));
    // Ten letters wide, so that the longest month label or capacity ends
    // before the next column starts.
    l.column = surface.TextWidth("abcdefghij");
    l.width = surface.PageWidth();
    l.x = l.width / 8;
    l.y = surface.PageHeight() / 8;
    l.half = l.width / 2;
    return l;
}

int LineY(const TLayout &l, int line) {
    return l.y + line * l.line;
}

TPictureBox ChartRect(const TLayout &l) {
    return {l.x, LineY(l, kChartLine), l.width - l.x / 2, kChartBottomLine * l.line};
}

void Grid(IPrintSurface &surface, const TLayout &l, int left, const std::vector<TGridRow> &rows,
          int bestRow) {
    for (std::size_t j = 0; j < rows.size(); ++j) {
        const int row = static_cast<int>(j);
        surface.SetFont(Font(row == 0, row == 1 || row == bestRow));
        for (std::size_t i = 0; i < rows[j].size(); ++i)
            surface.TextOut(left + static_cast<int>(i) * l.column, LineY(l, row + kGridLine), rows[j][i]);
    }
    surface.SetFont(Font());
}

void FirstPage(IPrintSurface &surface, const TLayout &l, const TOptimalPage &page) {
    surface.TextOut(l.x, LineY(l, 0), page.caption);
    surface.TextOut(l.x, LineY(l, kInputsLine), "Wartości do obliczeń:");
    surface.TextOut(l.half + l.x, LineY(l, kInputsLine), "Wartości wyliczone:");
    Grid(surface, l, l.x, page.inputRows, -1);
    Grid(surface, l, l.half + l.x, page.resultRows, page.bestRow);
    surface.TextOut(l.x, LineY(l, kWinterLine), "Ilość gazu - zima: " + page.winter);
    surface.TextOut(l.x, LineY(l, kWinterLine + 1), "Ilość gazu - lato: " + page.summer);
    surface.SetFont(Font(true));
    surface.TextOut(l.x, LineY(l, kRatesLine), "Stawki taryfowe");
    surface.SetFont(Font());
    for (std::size_t k = 0; k < page.rates.size(); ++k)
        surface.TextOut(l.x, LineY(l, kRatesLine + 1 + static_cast<int>(k)),
                        std::string(kRateCaptions[k]) + ": " + page.rates[k]);
    const TPictureBox box = ChartRect(l);
    surface.StretchPicture(box.left, box.top, box.right, box.bottom, page.chartPicture);
}

void DurationPage(IPrintSurface &surface, const TLayout &l, const TOptimalPage &page) {
    surface.TextOut(l.x, LineY(l, 0), page.caption);
    surface.SetFont(Font(true));
    surface.TextOut(l.x, LineY(l, kInputsLine), kDurationTitle);
    surface.SetFont(Font());
    const TPictureBox chart = ChartRect(l);
    const int top = LineY(l, kGridLine);
    const int height = chart.bottom - chart.top;
    surface.StretchPicture(chart.left, top, chart.right, top + height, page.durationPicture);
    for (std::size_t k = 0; k < page.durationLines.size(); ++k)
        surface.TextOut(l.x, top + height + (static_cast<int>(k) + 1) * l.line, page.durationLines[k]);
}

long long HoursAbove(const std::vector<double> &flows, long long capacity) {
    return std::count_if(flows.begin(), flows.end(), [capacity](double f) { return f > capacity; });
}

} // namespace

TPictureBox ChartBox(IPrintSurface &surface) {
    return ChartRect(Measure(surface));
}

void DrawOptimalPages(IPrintSurface &surface, const TOptimalPage &page) {
    const TLayout l = Measure(surface);
    FirstPage(surface, l, page);
    if (page.durationPicture.empty() || !surface.NewPage())
        return;
    DurationPage(surface, l, page);
}

std::vector<std::string> DurationLines(const std::vector<double> &flows, long long chosen,
                                       long long optimal) {
    std::vector<std::string> lines{"Liczba godzin z przepływem: " + std::to_string(flows.size())};
    if (chosen > 0)
        lines.push_back("Moc zamówiona: " + std::to_string(chosen) +
                        " m3/h, godzin powyżej: " + std::to_string(HoursAbove(flows, chosen)));
    lines.push_back("Moc optymalna: " + std::to_string(optimal) +
                    " m3/h, godzin powyżej: " + std::to_string(HoursAbove(flows, optimal)));
    return lines;
}

} // namespace kiv
