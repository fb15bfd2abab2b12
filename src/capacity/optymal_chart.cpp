#include "capacity/optymal_chart.h"

#include <QChart>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>

namespace kiv {
namespace {

constexpr qreal kPictureScale = 2;

QString Q(const std::string &text) {
    return QString::fromStdString(text);
}

void Clear(QChart &chart) {
    chart.removeAllSeries();
    for (QAbstractAxis *axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
}

QValueAxis *Axis(QChart &chart, Qt::Alignment side, const QString &title) {
    auto *axis = new QValueAxis(&chart);
    axis->setTitleText(title);
    axis->setLabelFormat("%g");
    chart.addAxis(axis, side);
    return axis;
}

void Attach(QChart &chart, QLineSeries *series, QValueAxis *x, QValueAxis *y) {
    chart.addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

// A level line across the whole curve.
QLineSeries *Level(const QString &name, long long value, double last, const QColor &colour) {
    auto *line = new QLineSeries;
    line->setName(name);
    line->append(1, static_cast<double>(value));
    line->append(last, static_cast<double>(value));
    line->setPen(QPen(colour, 2, Qt::DashLine));
    return line;
}

void FillChart(QChart &chart, const TPriceChart &content) {
    FillPriceChart(chart, content);
}
void FillChart(QChart &chart, const TDurationChart &content) {
    FillDurationChart(chart, content);
}

template <typename Content> QImage Picture(const Content &content, QSize size) {
    QImage image(size * kPictureScale, QImage::Format_RGB32);
    image.setDevicePixelRatio(kPictureScale);
    image.fill(Qt::white);
    QGraphicsScene scene;
    auto *chart = new QChart;
    scene.addItem(chart);
    chart->setBackgroundBrush(Qt::white);
    chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
    FillChart(*chart, content);
    // The chart lays out its axes, title and legend on the events it posts itself.
    QCoreApplication::sendPostedEvents();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

} // namespace

void FillPriceChart(QChart &chart, const TPriceChart &content) {
    Clear(chart);
    chart.setTitle(Q(content.title));
    if (content.points.empty())
        return;
    auto *series = new QLineSeries;
    series->setName(kPriceSeriesName);
    series->setPointsVisible(true);
    series->setMarkerSize(7);
    for (const TChartPoint &p : content.points)
        series->append(p.x, p.y);
    const auto [low, high] =
        std::minmax_element(content.points.begin(), content.points.end(),
                            [](const TChartPoint &a, const TChartPoint &b) { return a.y < b.y; });
    QValueAxis *x = Axis(chart, Qt::AlignBottom, "Moc zamówiona [m3/h]");
    QValueAxis *y = Axis(chart, Qt::AlignLeft, content.prices ? "zł/m3" : "%");
    Attach(chart, series, x, y);
    x->setRange(content.points.front().x, std::max(content.points.back().x, content.points.front().x + 1));
    const double margin = std::max((high->y - low->y) * 0.05, 0.01);
    y->setRange(low->y - margin, high->y + margin);
    x->applyNiceNumbers();
    y->applyNiceNumbers();
}

void FillDurationChart(QChart &chart, const TDurationChart &content) {
    Clear(chart);
    chart.setTitle(Q(content.title));
    if (content.flows.empty())
        return;
    auto *curve = new QLineSeries;
    curve->setName("Przepływ godzinowy [m3/h]");
    for (std::size_t h = 0; h < content.flows.size(); ++h)
        curve->append(static_cast<double>(h + 1), content.flows[h]);
    const double last = static_cast<double>(content.flows.size());
    QValueAxis *x = Axis(chart, Qt::AlignBottom, "Godziny okresu analizy, od największego przepływu");
    QValueAxis *y = Axis(chart, Qt::AlignLeft, "m3/h");
    Attach(chart, curve, x, y);
    double top = std::max(content.flows.front(), 1.0);
    if (content.chosen > 0) {
        Attach(chart,
               Level(QString("Moc zamówiona %1 m3/h").arg(content.chosen), content.chosen, last, Qt::red), x,
               y);
        top = std::max(top, static_cast<double>(content.chosen));
    }
    if (content.optimal > 0) {
        Attach(chart,
               Level(QString("Moc optymalna %1 m3/h").arg(content.optimal), content.optimal, last,
                     QColor(0, 128, 0)),
               x, y);
        top = std::max(top, static_cast<double>(content.optimal));
    }
    x->setRange(0, std::max(last, 2.0));
    x->applyNiceNumbers();
    x->setLabelFormat("%.0f");
    y->setRange(std::min(0.0, content.flows.back()), top * 1.05);
    y->applyNiceNumbers();
}

QImage ChartPicture(const TPriceChart &content, QSize size) {
    return Picture(content, size);
}
QImage ChartPicture(const TDurationChart &content, QSize size) {
    return Picture(content, size);
}

} // namespace kiv
