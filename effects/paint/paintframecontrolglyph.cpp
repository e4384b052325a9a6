// A frame-control glyph (a caption button's cross, a menu check mark, ...) in
// any colour: the control is drawn off-screen and only its black strokes are kept.

#include "effects/paint/canvaspainting.h"

#include "platform/framecontrols.h"
#include "effects/bitmap/luxbitmap.h"

void DrawFrameControlGlyph(TCanvas* Canvas, const TRect& R, unsigned int Type, unsigned int State, TColor Color)
{
    if (!Canvas || !Canvas->Handle() || IsRectEmptyRaw(R))
        return;
    TluxBitmap glyph;
    glyph.SetSize(R.Width(), R.Height());
    // Start from the key colour, so that pixels the control leaves untouched are
    // not taken for strokes.
    glyph.Clear(luxTransparent);
    TRect box(0, 0, R.Width(), R.Height());
    DrawFrameControl(glyph.DC, &box, Type, State);

    // Glyph strokes are black. The painter stores them opaque, so only the colour
    // bytes are compared; the alpha byte says nothing about the stroke here.
    const TluxColor ink = luxColor(Color, 255);
    TluxColor* end = glyph.Bits + qsizetype(glyph.Width) * glyph.Height;
    for (TluxColor* p = glyph.Bits; p != end; ++p)
        *p = (*p & 0x00FFFFFF) == 0 ? ink : luxTransparent;

    glyph.Transparent = true;
    glyph.Draw(Canvas->Handle(), R.Left, R.Top);
}
