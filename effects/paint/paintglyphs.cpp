// Translucent fills and glyph silhouettes composed in a pixel surface and drawn
// with the surface's alpha-blend or key-colour mode.

#include "effects/paint/canvaspainting.h"

#include "effects/bitmap/luxbitmap.h"

void FillAlphaRect(TCanvas* Canvas, const TRect& R, TColor Color, int Alpha)
{
    if (!Canvas || IsRectEmptyRaw(R))
        return;
    TluxBitmap overlay;
    overlay.SetSize(R.Width(), R.Height());
    overlay.Clear(luxColor(Color, static_cast<unsigned char>(Alpha & 0xFF)));
    overlay.AlphaBlend = true;
    overlay.Draw(Canvas, R.Left, R.Top);
}

void DrawGlyphShadow(TCanvas* Canvas, int X, int Y, TluxBitmap* Glyph, TColor Color)
{
    if (!Canvas || !Glyph || Glyph->Empty())
        return;
    TluxBitmap shadow;
    shadow.Assign(Glyph);
    shadow.AlphaBlend = true;
    shadow.CheckingTransparent(luxTransparent);
    // Key-colour pixels now have alpha 0 like the glyph's own holes; every other
    // pixel becomes the shadow colour at alpha 100.
    const TluxColor ink = luxColor(Color, 100);
    TluxColor* end = shadow.Bits + qsizetype(shadow.Width) * shadow.Height;
    for (TluxColor* p = shadow.Bits; p != end; ++p) {
        if ((*p >> 24) != 0)
            *p = ink;
    }
    shadow.Draw(Canvas->Handle(), X, Y);
}
