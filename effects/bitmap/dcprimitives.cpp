// Drawing onto device contexts that belong to no TluxBitmap, and finding the
// pixel memory behind a context.

#include "effects/bitmap/luxbitmap.h"
#include "effects/bitmap/stretch.h"

namespace luxraster {

// A memory context over a Format_ARGB32 image is a 32-bit device-independent
// bitmap whose rows run top-down, so its height is reported negative, as the
// window system reports a top-down section. Window contexts and other formats
// have no directly addressable 32-bit memory: null.
TluxColor* getBitsFromDC(HDC DC, int& Width, int& Height, int& BitCount)
{
    Width = Height = BitCount = 0;
    if (!DC || DC->window())
        return nullptr;
    QImage* image = DC->image();
    if (!image || image->isNull() || image->format() != QImage::Format_ARGB32)
        return nullptr;
    if (image->bytesPerLine() != qsizetype(image->width()) * 4)
        return nullptr;
    Width = image->width();
    Height = -image->height();
    BitCount = 32;
    // bits() would detach a shared image from its memory; the context draws into this one.
    return reinterpret_cast<TluxColor*>(image->bits());
}

void stretchToDCOpaque(HDC DC, int X, int Y, int W, int H, const TluxBitmap* Source, int SX, int SY, int SW, int SH)
{
    if (!Source || Source->Empty())
        return;
    StretchBlt(DC, X, Y, W, H, Source->DC, SX, SY, SW, SH, SRCCOPY);
}

void stretchToDCThroughMemory(HDC DC, int X, int Y, int W, int H, const TluxBitmap* Source, int SX, int SY, int SW,
                              int SH)
{
    if (!DC || !Source || Source->Empty() || W <= 0 || H <= 0)
        return;
    TluxBitmap background;
    background.SetSize(W, H);
    BitBlt(background.DC, 0, 0, W, H, DC, X, Y, SRCCOPY);
    Source->Draw(&background, TRect(0, 0, W, H), TRect(SX, SY, SX + SW, SY + SH));
    BitBlt(DC, X, Y, W, H, background.DC, 0, 0, SRCCOPY);
}

} // namespace luxraster
