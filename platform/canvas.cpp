#include "platform/canvas.h"

#include <QPainter>

void TCanvas::RequiredState()
{
    if (!m_handle)
        return;
    m_handle->setPen(Pen);
    m_handle->setBrush(Brush);
    m_handle->setFont(Font.Font);
    m_handle->setTextColor(Font.Color);
    m_handle->setBkColor(Brush.Color);
    m_handle->setBkMode(Brush.Style == BrushStyle::Clear ? TRANSPARENT : OPAQUE);
}

void TCanvas::FillRect(const TRect& r)
{
    if (!m_handle)
        return;
    RequiredState();
    m_handle->fillRect(r, Brush);
}

void TCanvas::FrameRect(const TRect& r)
{
    if (!m_handle || IsRectEmptyRaw(r))
        return;
    RequiredState();
    // A one-pixel frame in the brush colour, as the window system's FrameRect draws it.
    m_handle->fillRect(TRect(r.Left, r.Top, r.Right, r.Top + 1), Brush);
    m_handle->fillRect(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), Brush);
    m_handle->fillRect(TRect(r.Left, r.Top, r.Left + 1, r.Bottom), Brush);
    m_handle->fillRect(TRect(r.Right - 1, r.Top, r.Right, r.Bottom), Brush);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    if (!m_handle)
        return;
    RequiredState();
    m_handle->rectangle(TRect(x1, y1, x2, y2));
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    if (!m_handle)
        return;
    RequiredState();
    m_handle->ellipse(TRect(x1, y1, x2, y2));
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cw, int ch)
{
    if (!m_handle)
        return;
    RequiredState();
    m_handle->roundRect(TRect(x1, y1, x2, y2), cw, ch);
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    if (!m_handle)
        return;
    RequiredState();
    m_handle->polygon(points);
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (!m_handle)
        return;
    RequiredState();
    m_handle->polyline(points);
}

void TCanvas::MoveTo(int x, int y)
{
    if (m_handle)
        m_handle->moveTo(x, y);
}

void TCanvas::LineTo(int x, int y)
{
    if (!m_handle)
        return;
    RequiredState();
    m_handle->lineTo(x, y);
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    if (!m_handle)
        return;
    RequiredState();
    m_handle->textOut(x, y, text);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const QString& text)
{
    if (!m_handle)
        return;
    RequiredState();
    const int level = m_handle->save();
    m_handle->intersectClipRect(r);
    if (Brush.Style != BrushStyle::Clear)
        m_handle->fillRect(r, Brush);
    m_handle->setBkMode(TRANSPARENT);
    m_handle->textOut(x, y, text);
    m_handle->restore(level);
}

int TCanvas::TextWidth(const QString& text)
{
    if (!m_handle)
        return 0;
    RequiredState();
    return m_handle->textExtent(text).cx;
}

int TCanvas::TextHeight(const QString& text)
{
    if (!m_handle)
        return 0;
    RequiredState();
    return m_handle->textExtent(text).cy;
}

uint32_t TCanvas::Pixel(int x, int y)
{
    return m_handle ? m_handle->getPixel(x, y) : 0xFFFFFFFFu;
}

void TCanvas::SetPixel(int x, int y, TColor c)
{
    if (m_handle)
        m_handle->setPixel(x, y, c);
}

void TCanvas::Draw(int x, int y, const QImage& picture)
{
    if (!m_handle || picture.isNull())
        return;
    m_handle->paint([&](QPainter& p) { p.drawImage(x, y, picture); });
}

void TCanvas::StretchDraw(const TRect& r, const QImage& picture)
{
    if (!m_handle || picture.isNull())
        return;
    m_handle->paint([&](QPainter& p) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), picture);
    });
}
