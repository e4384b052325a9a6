// Text turned by a quarter turn: laid out horizontally in one pixel surface,
// then copied pixel by pixel, turned, into a second one drawn with its key colour.

#include "effects/paint/canvaspainting.h"

#include "effects/bitmap/luxbitmap.h"

int DrawVerticalText(TCanvas* Canvas, const QString& S, const TRect& R, unsigned int Flags, bool Clockwise)
{
    if (!Canvas || !Canvas->Handle())
        return 0;
    const int w = R.Width();
    const int h = R.Height();
    if (w <= 0 || h <= 0)
        return 0;

    TluxBitmap turned;     // A: W x H, the result
    TluxBitmap horizontal; // B: H x W, the text laid out horizontally
    turned.SetSize(w, h);
    horizontal.SetSize(h, w);
    turned.Clear(luxTransparent);
    horizontal.Clear(luxTransparent);

    int result = 0;
    {
        // Key-colour drawing has no partial coverage: each pixel is text or key,
        // so the text is rasterised without smoothing.
        QFont font = Canvas->Font.Font;
        font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoAntialias));
        // B is released with this routine, and its state with it.
        TCanvas layout(horizontal.DC);
        layout.Font.Font = font; // drawn in the default text colour, the window-text colour
        TRect box(0, 0, h, w);
        result = DrawText(&layout, S, box, Flags);
    }

    for (int y = 0; y < w; ++y) {
        const TluxColor* row = horizontal.GetScanLine(y);
        for (int x = 0; x < h; ++x) {
            if (row[x] == luxTransparent)
                continue;
            if (Clockwise)
                *turned.GetPixelPtr(w - 1 - y, x) = row[x];
            else
                *turned.GetPixelPtr(y, h - 1 - x) = row[x];
        }
    }

    turned.Transparent = true;
    turned.Draw(Canvas, R.Left, R.Top);
    return result;
}
