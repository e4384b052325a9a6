#include "tools/splash-picture/splashdrawing.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

using namespace SplashPicture;

namespace {

const QColor Copper{0xD9, 0xA4, 0x41};
const QColor Pin{0xC8, 0xC8, 0xC8};
const QColor Signal{0xFF, 0xC9, 0x33};
const QColor Caption{0x9C, 0xC8, 0xFF};

// A board of 84 x 70 at (12, 16): edge connector on the left, a 28-pin chip,
// a crystal, and copper tracks from the chip to the connector.
void drawBoard(QPainter& p)
{
    const QRectF board(12, 16, 84, 70);
    p.setPen(QPen(Board.darker(140), 1));
    p.setBrush(Board);
    p.drawRoundedRect(board, 5, 5);

    // Mounting holes.
    p.setBrush(Background);
    p.setPen(QPen(Copper, 1.5));
    for (const QPointF& at : {QPointF(19, 23), QPointF(89, 23), QPointF(89, 79)})
        p.drawEllipse(at, 2.5, 2.5);

    // Edge connector and the tracks that leave it.
    p.setPen(Qt::NoPen);
    p.setBrush(Copper);
    for (int i = 0; i < 5; ++i)
        p.drawRect(QRectF(12, 36 + i * 8, 6, 4));
    p.setPen(QPen(Copper, 1.2));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 5; ++i) {
        const double y = 38 + i * 8;
        QPainterPath track(QPointF(18, y));
        track.lineTo(28, y);
        track.lineTo(34, 34 + i * 7);
        track.lineTo(40, 34 + i * 7);
        p.drawPath(track);
    }

    // The chip with its pins.
    p.setPen(QPen(Pin, 1.4));
    for (int i = 0; i < 7; ++i) {
        const double y = 33 + i * 6;
        p.drawLine(QPointF(40, y), QPointF(44, y));
        p.drawLine(QPointF(72, y), QPointF(76, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Chip);
    p.drawRect(QRectF(44, 29, 28, 46));
    p.setBrush(Chip.lighter(160));
    p.drawEllipse(QPointF(49, 34), 1.6, 1.6);

    // Crystal and the tracks to the right-hand pins.
    p.setPen(QPen(Copper, 1.2));
    p.drawLine(QPointF(76, 39), QPointF(84, 39));
    p.drawLine(QPointF(76, 45), QPointF(84, 45));
    p.setPen(QPen(Pin, 1));
    p.setBrush(Pin.darker(130));
    p.drawRoundedRect(QRectF(80, 36, 9, 12), 3, 3);
}

// One byte, 'U' (0x55), as it leaves a UART: start bit, eight data bits least
// significant first, stop bit, with idle line on both sides.
void drawSignal(QPainter& p)
{
    const double high = 110, low = 128, left = 12, bit = 17;
    QList<bool> levels{true};                // idle
    levels << false;                         // start bit
    for (int i = 0; i < 8; ++i)
        levels << bool((0x55 >> i) & 1);     // data bits
    levels << true << true;                  // stop bit, idle

    p.setPen(QPen(Signal.darker(250), 1, Qt::DotLine));
    p.drawLine(QPointF(left, low), QPointF(Width - 12, low));

    QPainterPath trace(QPointF(left, high));
    double x = left;
    bool level = true;
    for (bool next : levels) {
        if (next != level) {
            trace.lineTo(x, next ? high : low);
            level = next;
        }
        x += bit;
        trace.lineTo(x, level ? high : low);
    }
    p.setPen(QPen(Signal, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(9);
    p.setFont(small);
    p.setPen(Caption);
    p.drawText(QRectF(12, 134, 120, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TX  0x55  9600 8N1"));
    p.drawText(QRectF(Width - 132, 134, 120, 12), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("V1.00"));
}

void drawName(QPainter& p)
{
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(30);
    name.setBold(true);
    p.setFont(name);
    p.setPen(Qt::white);
    p.drawText(QRectF(104, 18, 130, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TK790"));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(12);
    p.setFont(title);
    p.setPen(Caption);
    p.drawText(QRectF(105, 54, 130, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Flash Update"));
    p.drawText(QRectF(105, 69, 130, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tools"));
}

} // namespace

QImage DrawSplashPicture()
{
    QImage picture(Width, Height, QImage::Format_RGB32);
    picture.fill(Background);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawBoard(p);
    drawName(p);
    drawSignal(p);
    // A thin frame, so the picture reads as one piece on a grey dialog.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Background.lighter(170));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, Width - 1, Height - 1);
    return picture;
}
