// Two-colour halftones: an 8 x 8 one-pixel checkerboard used as a pattern brush,
// aligned to the device context's brush origin.

#include "effects/paint/canvaspainting.h"

#include <vector>

namespace {

// Color2 where x + y is even (so at (0, 0)), Color1 elsewhere.
LogBrush halftoneBrush(TColor Color1, TColor Color2)
{
    const QRgb one = TColorToQColor(Color1).rgb();
    const QRgb two = TColorToQColor(Color2).rgb();
    QImage pattern(8, 8, QImage::Format_ARGB32);
    pattern.fill(one);
    for (int y = 0; y < 8; ++y) {
        auto* row = reinterpret_cast<QRgb*>(pattern.scanLine(y));
        for (int x = (y % 2 == 0) ? 0 : 1; x < 8; x += 2)
            row[x] = two;
    }
    LogBrush brush;
    brush.Style = BrushStyle::Pattern;
    brush.Color = Color1;
    brush.Pattern = pattern;
    return brush;
}

} // namespace

void FillHalftoneRect(TCanvas* Canvas, const TRect& R, TColor Color1, TColor Color2)
{
    if (!Canvas)
        return;
    TRect r = R;
    if (r.Left < 0)
        r.Left = 0;
    if (r.Top < 0)
        r.Top = 0;
    if (IsRectEmptyRaw(r))
        return;
    // The canvas keeps the brush; it holds its own copy of the pattern.
    Canvas->Brush = halftoneBrush(Color1, Color2);
    Canvas->FillRect(r);
}

void FillHalftonePolygon(TCanvas* Canvas, const TPoint* Points, const int High, TColor Color1, TColor Color2)
{
    if (!Canvas || !Points || High < 0)
        return;
    Canvas->Brush = halftoneBrush(Color1, Color2);
    Canvas->Pen.Style = PenStyle::Clear;
    Canvas->Polygon(std::vector<TPoint>(Points, Points + High + 1));
}
