// Drawing operations of TluxBitmap that exist for code written against their
// signatures but draw nothing: text, frames, polygons and gradients are drawn
// onto a bitmap's DC by the drawing utilities instead.

#include "effects/bitmap/luxbitmap.h"

void TluxBitmap::DrawBevel(const TRect&, TluxColor, int, bool) {}
void TluxBitmap::DrawEdge(const TRect&, TluxColor, TluxColor) {}
void TluxBitmap::DrawEllipse(const TRect&, TluxColor) {}
void TluxBitmap::DrawFocusRect(const TRect&, TluxColor) {}
void TluxBitmap::DrawLine(const TRect&, TluxColor) {}
void TluxBitmap::DrawRect(const TRect&, TluxColor) {}
void TluxBitmap::FillEllipse(const TRect&, TluxColor) {}
void TluxBitmap::DrawRoundRect(const TRect&, int, TluxColor) {}
void TluxBitmap::FillRoundRect(const TRect&, int, TluxColor) {}
void TluxBitmap::DrawPolygon(const std::vector<TPoint>&, TColor) {}
void TluxBitmap::FillPolygon(const std::vector<TPoint>&, TColor) {}
void TluxBitmap::FillHalftonePolygon(const std::vector<TPoint>&, TluxColor, TluxColor) {}
void TluxBitmap::FillHalftoneRect(const TRect&, TluxColor, TluxColor) {}
void TluxBitmap::FillGradientRect(const TRect&, TluxColor, TluxColor, bool) {}
void TluxBitmap::FillRadialGradientRect(const TRect&, TluxColor, TluxColor, const TPoint&) {}
void TluxBitmap::DrawText(const QString&, TRect&, TluxColor) {}
void TluxBitmap::DrawText(const QString&, int, int) {}
void TluxBitmap::DrawVerticalText(const QString&, const TRect&, TluxColor, bool) {}
void TluxBitmap::LineTo(int, int, TluxColor) {}
void TluxBitmap::MoveTo(int, int) {}

int TluxBitmap::TextWidth(const QString&, int) const
{
    return 0;
}

int TluxBitmap::TextHeight(const QString&) const
{
    return 0;
}
