// Lines, outlines and fills in one call each: the routine sets the pen and the
// brush it needs on the canvas, then draws with the canvas.

#include "effects/paint/canvaspainting.h"

#include <vector>

namespace {

void solidPen(TCanvas* Canvas, TColor C)
{
    Canvas->Pen.Style = PenStyle::Solid;
    Canvas->Pen.Color = C;
}

void solidBrush(TCanvas* Canvas, TColor C)
{
    Canvas->Brush.Style = BrushStyle::Solid;
    Canvas->Brush.Color = C;
}

void clearBrush(TCanvas* Canvas)
{
    Canvas->Brush.Style = BrushStyle::Clear;
}

std::vector<TPoint> polygonPoints(const TPoint* Points, int High)
{
    if (!Points || High < 0)
        return {};
    return std::vector<TPoint>(Points, Points + High + 1);
}

} // namespace

void MoveTo(TCanvas* Canvas, int X, int Y)
{
    if (Canvas)
        Canvas->MoveTo(X, Y);
}

void LineTo(TCanvas* Canvas, int X, int Y, TColor C)
{
    if (!Canvas)
        return;
    solidPen(Canvas, C);
    Canvas->LineTo(X, Y);
}

void DrawRect(TCanvas* Canvas, const TRect& R, TColor C)
{
    if (!Canvas)
        return;
    solidPen(Canvas, C);
    clearBrush(Canvas);
    Canvas->Rectangle(R);
}

void DrawRect(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TColor C)
{
    DrawRect(Canvas, TRect(X1, Y1, X2, Y2), C);
}

void FillRect(TCanvas* Canvas, const TRect& R, TColor C)
{
    if (!Canvas)
        return;
    solidBrush(Canvas, C);
    Canvas->FillRect(R);
}

void FillRect(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TColor C)
{
    FillRect(Canvas, TRect(X1, Y1, X2, Y2), C);
}

void FillRect(HDC DC, int X1, int Y1, int X2, int Y2, TColor C)
{
    if (!DC)
        return;
    // The temporary canvas selects its own pen, brush and font; the context gets
    // its previous drawing state back when the canvas lets go of it.
    struct Attached {
        HDC dc;
        int level;
        TCanvas canvas;
        explicit Attached(HDC d) : dc(d), level(d->save()), canvas(d) {}
        ~Attached()
        {
            canvas.SetHandle(nullptr);
            dc->restore(level);
        }
    } attached(DC);
    FillRect(&attached.canvas, TRect(X1, Y1, X2, Y2), C);
}

void FillEllipse(TCanvas* Canvas, const TRect& R, TColor C)
{
    if (!Canvas)
        return;
    Canvas->Pen.Style = PenStyle::Clear;
    solidBrush(Canvas, C);
    Canvas->Ellipse(R.Left, R.Top, R.Right, R.Bottom);
}

void FillEllipse(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TColor C)
{
    FillEllipse(Canvas, TRect(X1, Y1, X2, Y2), C);
}

void DrawRoundRect(TCanvas* Canvas, const TRect& R, int Radius, TColor C)
{
    if (!Canvas)
        return;
    solidPen(Canvas, C);
    clearBrush(Canvas);
    Canvas->RoundRect(R.Left, R.Top, R.Right, R.Bottom, Radius, Radius);
}

void FillRoundRect(TCanvas* Canvas, const TRect& R, int Radius, TColor C)
{
    if (!Canvas)
        return;
    Canvas->Pen.Color = C;
    solidBrush(Canvas, C);
    Canvas->RoundRect(R.Left, R.Top, R.Right, R.Bottom, Radius, Radius);
}

void DrawPolygon(TCanvas* Canvas, const TPoint* Points, const int High, TColor C)
{
    if (!Canvas)
        return;
    solidPen(Canvas, C);
    clearBrush(Canvas);
    Canvas->Polygon(polygonPoints(Points, High));
}

void FillPolygon(TCanvas* Canvas, const TPoint* Points, const int High, TColor C)
{
    if (!Canvas)
        return;
    solidPen(Canvas, C);
    solidBrush(Canvas, C);
    Canvas->Polygon(polygonPoints(Points, High));
}

void DrawEdge(TCanvas* Canvas, const TRect& R, TColor TopLeft, TColor BottomRight)
{
    if (!Canvas)
        return;
    clearBrush(Canvas);
    // Lines leave out their end point, which decides who owns the corners: the
    // top-right and bottom-left corners fall to BottomRight.
    solidPen(Canvas, TopLeft);
    Canvas->MoveTo(R.Left, R.Bottom - 2);
    Canvas->LineTo(R.Left, R.Top);
    Canvas->LineTo(R.Right - 1, R.Top);
    solidPen(Canvas, BottomRight);
    Canvas->MoveTo(R.Right - 1, R.Top);
    Canvas->LineTo(R.Right - 1, R.Bottom - 1);
    Canvas->LineTo(R.Left - 1, R.Bottom - 1);
}

void DrawEdge(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TColor TopLeft, TColor BottomRight)
{
    DrawEdge(Canvas, TRect(X1, Y1, X2, Y2), TopLeft, BottomRight);
}
