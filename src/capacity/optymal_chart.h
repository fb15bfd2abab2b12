#pragma once
// The two charts of the optimisation window, filled from plain records so
// that the window's charts and the printed pictures are the same drawing:
// Chart1, the line "Cena 1 m3 netto w zł" with point marks over the
// candidates (percentages or prices), and the load-duration curve, the
// analysis period's hourly flows from the highest down with the chosen and
// the optimal capacity as level lines. ChartPicture draws a fresh chart of
// the same content on white into an image, for the printout.
#include "capacity/optimisation.h"

#include <QImage>
#include <QSize>

#include <string>
#include <vector>

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace kiv {

inline constexpr const char *kPriceSeriesName = "Cena 1 m3 netto w zł";

struct TPriceChart {
    std::string title;
    std::vector<TChartPoint> points;
    bool prices = false; // the y axis in zł/m3, else in %
};

struct TDurationChart {
    std::string title;
    std::vector<double> flows; // highest first
    long long chosen = 0;      // the station's ordered capacity; 0: none
    long long optimal = 0;     // 0: not computed
};

// Replaces whatever the chart showed.
void FillPriceChart(QChart &chart, const TPriceChart &content);
void FillDurationChart(QChart &chart, const TDurationChart &content);

// A chart of that content and size on a white background, drawn at twice
// the resolution.
[[nodiscard]] QImage ChartPicture(const TPriceChart &content, QSize size);
[[nodiscard]] QImage ChartPicture(const TDurationChart &content, QSize size);

} // namespace kiv
