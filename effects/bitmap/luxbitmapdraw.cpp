// TluxBitmap::Draw: picks the target's route and the drawing mode, then calls
// the raster slots. The mode always comes from the bitmap being drawn:
// AlphaBlend, else Transparent, else opaque.

#include "effects/bitmap/luxbitmap.h"

void TluxBitmap::Draw(HDC TargetDC, const TRect& Dst, const TRect& Src) const
{
    if (!TargetDC || Empty())
        return;
    const TPoint origin = TargetDC->windowOrigin();
    // A context of another bitmap: memory to memory, in its device coordinates.
    if (TluxBitmap* target = FindBitmapByDC(TargetDC)) {
        TRect d = Dst;
        OffsetRect(d, -origin.X, -origin.Y);
        Draw(target, d, Src);
        return;
    }
    // Straight into the memory of a 32-bit device-independent bitmap. The
    // memory stretch slots address rows bottom-up for a positive height and
    // top-down for a negative one, as the bitmap's header states them.
    int w = 0, h = 0, bpp = 0;
    TluxColor* bits = GetBitsFromDCFunc(TargetDC, w, h, bpp);
    if (EnableDibOperation && bits && bpp == 32 && h != 0) {
        TRect d = Dst;
        OffsetRect(d, -origin.X, -origin.Y);
        const StretchToDibProc stretch = AlphaBlend    ? StretchToDibAlphaBlendFunc
                                         : Transparent ? StretchToDibTransparentFunc
                                                       : StretchToDibOpaqueFunc;
        stretch(bits, d, d, w, h, this, Src);
        return;
    }
    // Through the platform, in the context's logical coordinates.
    const StretchToDCProc stretch = AlphaBlend    ? StretchToDCAlphaBlendFunc
                                    : Transparent ? StretchToDCTransparentFunc
                                                  : StretchToDCOpaqueFunc;
    stretch(TargetDC, Dst.Left, Dst.Top, Dst.Width(), Dst.Height(), this, Src.Left, Src.Top, Src.Width(),
            Src.Height());
}

void TluxBitmap::Draw(TluxBitmap* Target, const TRect& Dst, const TRect& Src) const
{
    if (!Target || Empty())
        return;
    const StretchProc stretch = AlphaBlend ? StretchAlphaBlendFunc : Transparent ? StretchTransparentFunc : StretchOpaqueFunc;
    stretch(Target, Dst, Dst, Src, this);
}

void TluxBitmap::Draw(HDC TargetDC, int X, int Y) const
{
    Draw(TargetDC, TRect(X, Y, X + Width, Y + Height), BoundsRect());
}

void TluxBitmap::Draw(HDC TargetDC, int X, int Y, const TRect& Src) const
{
    Draw(TargetDC, TRect(X, Y, X + Src.Width(), Y + Src.Height()), Src);
}

void TluxBitmap::Draw(HDC TargetDC, const TRect& Dst) const
{
    Draw(TargetDC, Dst, BoundsRect());
}

void TluxBitmap::Draw(TCanvas* Canvas, int X, int Y) const
{
    if (Canvas)
        Draw(Canvas->Handle(), X, Y);
}

void TluxBitmap::Draw(TCanvas* Canvas, int X, int Y, const TRect& Src) const
{
    if (Canvas)
        Draw(Canvas->Handle(), X, Y, Src);
}

void TluxBitmap::Draw(TCanvas* Canvas, const TRect& Dst) const
{
    if (Canvas)
        Draw(Canvas->Handle(), Dst);
}

void TluxBitmap::Draw(TCanvas* Canvas, const TRect& Dst, const TRect& Src) const
{
    if (Canvas)
        Draw(Canvas->Handle(), Dst, Src);
}

void TluxBitmap::Draw(TluxBitmap* Target, int X, int Y) const
{
    Draw(Target, TRect(X, Y, X + Width, Y + Height), BoundsRect());
}

void TluxBitmap::Draw(TluxBitmap* Target, int X, int Y, const TRect& Src) const
{
    Draw(Target, TRect(X, Y, X + Src.Width(), Y + Src.Height()), Src);
}

void TluxBitmap::Draw(TluxBitmap* Target, const TRect& Dst) const
{
    Draw(Target, Dst, BoundsRect());
}
