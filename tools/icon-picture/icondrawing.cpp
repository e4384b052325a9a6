#include "tools/icon-picture/icondrawing.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The colours of the splash picture, so the two read as one program.
const QColor Tile{0x10, 0x2A, 0x52};
const QColor Board{0x1F, 0x7A, 0x45};
const QColor Chip{0x22, 0x22, 0x26};
const QColor Pin{0xC8, 0xC8, 0xC8};
const QColor Signal{0xFF, 0xC9, 0x33};

// Everything is drawn in a 64 x 64 box.
constexpr double Box = 64;

void drawChip(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Board);
    p.drawRoundedRect(QRectF(10, 22, 44, 26), 3, 3);
    p.setPen(QPen(Pin, 1.6, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 5; ++i) {
        const double x = 20 + i * 6;
        p.drawLine(QPointF(x, 25), QPointF(x, 29));
        p.drawLine(QPointF(x, 41), QPointF(x, 45));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Chip);
    p.drawRect(QRectF(17, 29, 30, 12));
    p.setBrush(Chip.lighter(180));
    p.drawEllipse(QPointF(20.5, 32.5), 1.3, 1.3);
}

// The arrow that flashes the chip: from the top edge down into its body.
void drawArrow(QPainter& p)
{
    QPainterPath arrow;
    arrow.moveTo(29, 5);
    arrow.lineTo(35, 5);
    arrow.lineTo(35, 14);
    arrow.lineTo(41, 14);
    arrow.lineTo(32, 24);
    arrow.lineTo(23, 14);
    arrow.lineTo(29, 14);
    arrow.closeSubpath();
    p.setPen(QPen(Tile, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Signal);
    p.drawPath(arrow);
}

// Start bit, then 1, 0, 1, 0: the beginning of 'U' (0x55) on the line.
void drawTrace(QPainter& p)
{
    const double high = 51, low = 58;
    QPainterPath trace(QPointF(8, high));
    const bool levels[] = {false, true, false, true, false, true};
    double x = 14;
    bool level = true;
    trace.lineTo(x, high);
    for (bool next : levels) {
        if (next != level) {
            trace.lineTo(x, next ? high : low);
            level = next;
        }
        x += 7;
        trace.lineTo(x, level ? high : low);
    }
    trace.lineTo(56, high);
    p.setPen(QPen(Signal, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);
}

} // namespace

QImage DrawIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / Box, size / Box);
    p.setPen(Qt::NoPen);
    p.setBrush(Tile);
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 10, 10);
    drawChip(p);
    drawTrace(p);
    drawArrow(p);
    p.end();
    return icon.convertToFormat(QImage::Format_ARGB32);
}
