#include "shell/window_keeper.h"

#include "shell/model/window_place.h"
#include "support/gui/kept_tick.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kiv {

namespace {

// Set on a window once its place was restored, so later shows keep where the user put it.
constexpr char kPlacedProperty[] = "kivPlaced";

std::vector<TPlace> ScreenPlaces() {
    std::vector<TPlace> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        const QRect r = primary->availableGeometry();
        screens.push_back({r.x(), r.y(), r.width(), r.height()});
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen == primary) continue;
        const QRect r = screen->availableGeometry();
        screens.push_back({r.x(), r.y(), r.width(), r.height()});
    }
    return screens;
}

QList<QAbstractButton*> KeptTicks(const QWidget* window) {
    QList<QAbstractButton*> ticks;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (button->isCheckable() && !button->objectName().isEmpty() && button->property(kKeptTickProperty).toBool())
            ticks.push_back(button);
    return ticks;
}

} // namespace

TWindowKeeper::TWindowKeeper(std::string kivIni, QObject* parent) : QObject(parent), kivIni_(std::move(kivIni)) {}

QString TWindowKeeper::WindowKey(const QWidget* window) {
    QString key = window->objectName();
    if (key.isEmpty()) {
        key = QString::fromLatin1(window->metaObject()->className());
        key = key.mid(key.lastIndexOf(QLatin1Char(':')) + 1);
    }
    if (!key.startsWith(QLatin1String("TF")) || key == QLatin1String("TFPolMsg")) return {};
    return key;
}

bool TWindowKeeper::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::Hide) || !watched->isWidgetType()) return false;
    auto* window = static_cast<QWidget*>(watched);
    const Qt::WindowType kind = window->windowType();
    if (!window->isWindow() || (kind != Qt::Window && kind != Qt::Dialog)) return false;
    const std::string key = WindowKey(window).toStdString();
    if (key.empty()) return false;
    if (type == QEvent::Show && !window->property(kPlacedProperty).toBool()) {
        window->setProperty(kPlacedProperty, true);
        Restore(window, key);
    } else if (type == QEvent::Hide && window->property(kPlacedProperty).toBool()) {
        Save(window, key);
    }
    return false;
}

void TWindowKeeper::Restore(QWidget* window, const std::string& key) const {
    TPlace place;
    if (ReadWindowPlace(kivIni_, key, place)) {
        place = PlaceOnScreens(place, ScreenPlaces());
        window->resize(place.w, place.h);
        window->move(place.x, place.y);
    }
    for (QAbstractButton* tick : KeptTicks(window)) {
        bool ticked = false;
        if (ReadKeptTick(kivIni_, key, tick->objectName().toStdString(), ticked)) tick->setChecked(ticked);
    }
}

void TWindowKeeper::Save(QWidget* window, const std::string& key) const {
    // A maximised or minimised window keeps the place it had before.
    if (!(window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        (void)WriteWindowPlace(kivIni_, key, {window->x(), window->y(), window->width(), window->height()});
    for (const QAbstractButton* tick : KeptTicks(window))
        (void)WriteKeptTick(kivIni_, key, tick->objectName().toStdString(), tick->isChecked());
}

} // namespace kiv
