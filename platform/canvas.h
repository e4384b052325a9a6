#pragma once
// TCanvas: the framework's drawing surface object. It wraps one device context
// (its Handle) and carries a pen, a brush and a font that it selects into the
// context before each drawing call.

#include "platform/devicecontext.h"

class TCanvas {
public:
    struct TFont {
        QFont Font;
        TColor Color = clWindowText;
    };

    explicit TCanvas(HDC handle = nullptr) : m_handle(handle) {}
    virtual ~TCanvas() = default;

    HDC Handle() const { return m_handle; }
    void SetHandle(HDC handle) { m_handle = handle; }

    LogPen Pen;
    LogBrush Brush;
    TFont Font;

    TPoint PenPos() const { return m_handle ? m_handle->penPosition() : TPoint(); }

    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void RoundRect(int x1, int y1, int x2, int y2, int cw, int ch);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const QString& text);
    void TextRect(const TRect& r, int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);
    uint32_t Pixel(int x, int y);
    void SetPixel(int x, int y, TColor c);
    // Copies a picture onto the canvas at (x, y); 32-bit pictures keep their alpha.
    void Draw(int x, int y, const QImage& picture);
    void StretchDraw(const TRect& r, const QImage& picture);

    // Selects the canvas's pen, brush and font into the context.
    void RequiredState();

private:
    HDC m_handle;
};
