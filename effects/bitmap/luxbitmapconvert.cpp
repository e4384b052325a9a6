// Conversions between TluxBitmap and the framework's pictures (QImage), the
// clipboard, and painting a picture into a bitmap.

#include "effects/bitmap/luxbitmap.h"

#include <QClipboard>
#include <QPainter>

#include <cstring>

void TluxBitmap::Assign(const TluxBitmap* Source)
{
    if (!Source || Source == this)
        return;
    if (Source->Empty()) {
        // SetSize cannot make a bitmap empty; a copy of an empty bitmap is empty.
        releaseMemory();
        Width = Height = 0;
    } else {
        SetSize(Source->Width, Source->Height);
        MoveLongwordFunc(Source->Bits, Bits, Width * Height);
    }
    Name = Source->Name;
    Transparent = Source->Transparent;
    AlphaBlend = Source->AlphaBlend;
}

void TluxBitmap::Assign(const QImage& Source)
{
    if (Source.isNull()) {
        releaseMemory();
        Width = Height = 0;
        return;
    }
    SetSize(Source.width(), Source.height());
    if (Source.format() == QImage::Format_ARGB32) {
        for (int y = 0; y < Height; ++y)
            MoveLongwordFunc(reinterpret_cast<const TluxColor*>(Source.constScanLine(y)), GetScanLine(y), Width);
        CheckingAlphaBlend();
        return;
    }
    const QImage converted = Source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y)
        MoveLongwordFunc(reinterpret_cast<const TluxColor*>(converted.constScanLine(y)), GetScanLine(y), Width);
    SetAlpha(255);
}

void TluxBitmap::AssignTo(QImage& Dest) const
{
    if (Empty()) {
        Dest = QImage();
        return;
    }
    Dest = QImage(Width, Height, QImage::Format_ARGB32);
    Dest.fill(0);
    DeviceContext dc(&Dest);
    Draw(&dc, 0, 0);
}

void TluxBitmap::AssignTo(QClipboard* Dest) const
{
    if (!Dest)
        return;
    QImage picture;
    AssignTo(picture);
    Dest->setImage(picture);
}

void TluxBitmap::DrawGraphic(const QImage& G, const TRect& R)
{
    if (Empty() || G.isNull())
        return;
    // Paint onto pure magenta; whatever the picture leaves magenta is not copied.
    // The picture is stretched as a block copy (nearest pixel, alpha kept), not
    // composed over the magenta, so translucent pixels come through unmixed.
    constexpr TluxColor magenta = 0xFFFF00FF;
    QImage canvasImage(Width, Height, QImage::Format_ARGB32);
    canvasImage.fill(magenta);
    {
        QPainter painter(&canvasImage);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(R.toQRect(), G.convertToFormat(QImage::Format_ARGB32));
    }
    for (int y = 0; y < Height; ++y) {
        const auto* row = reinterpret_cast<const TluxColor*>(canvasImage.constScanLine(y));
        TluxColor* out = GetScanLine(y);
        for (int x = 0; x < Width; ++x)
            if ((row[x] & 0x00FFFFFF) != (magenta & 0x00FFFFFF))
                out[x] = row[x];
    }
}
