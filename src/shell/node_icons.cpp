#include "shell/node_icons.h"

#include "shell/model/station_tree.h"

#include <QPainter>
#include <QPainterPath>

namespace kiv {

namespace {

constexpr int S = kNodeImageSize;

QPixmap Blank(int width = S) {
    QPixmap pixmap(width, S);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void DrawFolder(QPainter& p, bool open) {
    p.setPen(QColor(0x9a, 0x6a, 0x00));
    p.setBrush(QColor(0xf0, 0xc0, 0x40));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.5, 3.5);
    back.lineTo(7.5, 5.5);
    back.lineTo(14.5, 5.5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    if (!open) return;
    p.setBrush(QColor(0xff, 0xe0, 0x80));
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4.5, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(12.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
}

// A corrector: a case with a display window.
void DrawDevice(QPainter& p, const QColor& body) {
    p.setPen(body.darker(170));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(2.5, 1.5, 9, 13), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xf4, 0xe8));
    p.drawRect(QRectF(4, 3, 6, 3));
    p.setBrush(body.darker(150));
    p.drawRect(QRectF(4, 8, 2, 2));
    p.drawRect(QRectF(8, 8, 2, 2));
}

void DrawBadge(QPainter& p, const QColor& colour, const QString& letter) {
    p.setPen(colour.darker(160));
    p.setBrush(colour);
    p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
    QFont font = p.font();
    font.setPixelSize(7);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(8.5, 8.5, 7, 7), Qt::AlignCenter, letter);
}

void DrawVirtual(QPainter& p) {
    p.setPen(QColor(0x50, 0x20, 0x80));
    p.setBrush(QColor(0xa0, 0x70, 0xd0));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QString(QChar(0x03A3)));
}

} // namespace

QPixmap KindPixmap(int kind) {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case KindGroup: DrawFolder(p, false); break;
    case KindGroupSelected: DrawFolder(p, true); break;
    case KindStation: DrawDevice(p, QColor(0x40, 0x80, 0xd0)); break;
    case KindNoProfile:
        DrawDevice(p, QColor(0xa0, 0xa0, 0xa0));
        DrawBadge(p, QColor(0xd0, 0x30, 0x30), QStringLiteral("?"));
        break;
    case KindModem:
        DrawDevice(p, QColor(0x40, 0x80, 0xd0));
        DrawBadge(p, QColor(0x20, 0xa0, 0x40), QStringLiteral("M"));
        break;
    case KindPhone:
        DrawDevice(p, QColor(0x40, 0x80, 0xd0));
        DrawBadge(p, QColor(0xe0, 0x90, 0x10), QStringLiteral("T"));
        break;
    case KindVirtual: DrawVirtual(p); break;
    default: break;
    }
    return pixmap;
}

QPixmap TickPixmap(int tickState) {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
    if (tickState == TickPartly) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x30, 0x60, 0xb0));
        p.drawRect(QRectF(5, 5, 6, 6));
    } else if (tickState == TickTicked) {
        QPen pen(QColor(0x10, 0x70, 0x20), 2.2);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        QPainterPath check;
        check.moveTo(4.5, 8);
        check.lineTo(7, 10.5);
        check.lineTo(11.5, 5);
        p.drawPath(check);
    }
    return pixmap;
}

const QIcon& TNodeIcons::Icon(int kind, int tickState, bool withTick) {
    const auto key = std::make_tuple(kind, tickState, withTick);
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second;
    const auto compose = [&](int shownKind) {
        QPixmap row = Blank(withTick ? TickAreaWidth() + S : S);
        QPainter p(&row);
        int x = 0;
        if (withTick) {
            p.drawPixmap(0, 0, TickPixmap(tickState));
            x = TickAreaWidth();
        }
        p.drawPixmap(x, 0, KindPixmap(shownKind));
        return row;
    };
    QIcon icon;
    icon.addPixmap(compose(kind), QIcon::Normal);
    icon.addPixmap(compose(kind == KindGroup ? KindGroupSelected : kind), QIcon::Selected);
    return cache_.emplace(key, icon).first->second;
}

} // namespace kiv
