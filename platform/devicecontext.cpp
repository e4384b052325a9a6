#include "platform/devicecontext.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

DeviceContext::DeviceContext(QImage* target) : m_image(target)
{
}

DeviceContext::~DeviceContext() = default;

QImage* DeviceContext::selectImage(QImage* image)
{
    QImage* old = m_image;
    m_image = image;
    return old;
}

TPoint DeviceContext::setWindowOrigin(TPoint origin)
{
    const TPoint old = m_origin;
    m_origin = origin;
    return old;
}

TPoint DeviceContext::offsetWindowOrigin(int dx, int dy)
{
    const TPoint old = m_origin;
    m_origin = TPoint(m_origin.X + dx, m_origin.Y + dy);
    return old;
}

void DeviceContext::selectClipRegion(const std::optional<QRegion>& deviceRegion)
{
    m_clip = deviceRegion;
}

void DeviceContext::intersectClipRect(const TRect& logical)
{
    TRect device = logical;
    OffsetRect(device, -m_origin.X, -m_origin.Y);
    const QRegion r = IsRectEmptyRaw(device) ? QRegion() : QRegion(device.toQRect());
    if (m_clip)
        m_clip = m_clip->intersected(r);
    else
        m_clip = r;
}

void DeviceContext::excludeClipRect(const TRect& logical)
{
    TRect device = logical;
    OffsetRect(device, -m_origin.X, -m_origin.Y);
    if (IsRectEmptyRaw(device))
        return;
    QRegion base = m_clip ? *m_clip : QRegion(m_image ? m_image->rect() : QRect());
    m_clip = base.subtracted(QRegion(device.toQRect()));
}

TRect DeviceContext::clipBox() const
{
    QRect box = m_image ? m_image->rect() : QRect();
    if (m_clip)
        box = box.intersected(m_clip->boundingRect());
    TRect r = box.isEmpty() ? TRect() : TRect::fromQRect(box);
    if (!box.isEmpty())
        OffsetRect(r, m_origin.X, m_origin.Y);
    return r;
}

int DeviceContext::save()
{
    State s = m_state;
    s.origin = m_origin;
    s.clip = m_clip;
    m_saved.push_back(std::move(s));
    return int(m_saved.size());
}

bool DeviceContext::restore(int level)
{
    const int count = int(m_saved.size());
    const int target = level < 0 ? count + level + 1 : level;
    if (target < 1 || target > count)
        return false;
    State s = m_saved[size_t(target - 1)];
    m_saved.resize(size_t(target - 1));
    m_origin = s.origin;
    m_clip = s.clip;
    m_state = std::move(s);
    return true;
}

QFont DeviceContext::setFont(const QFont& font)
{
    QFont old = m_state.font;
    m_state.font = font;
    return old;
}

TColor DeviceContext::setTextColor(TColor c)
{
    return std::exchange(m_state.textColor, c);
}

TColor DeviceContext::setBkColor(TColor c)
{
    return std::exchange(m_state.bkColor, c);
}

int DeviceContext::setBkMode(int mode)
{
    return std::exchange(m_state.bkMode, mode);
}

LogPen DeviceContext::setPen(const LogPen& pen)
{
    return std::exchange(m_state.pen, pen);
}

LogBrush DeviceContext::setBrush(const LogBrush& brush)
{
    return std::exchange(m_state.brush, brush);
}

TPoint DeviceContext::setBrushOrigin(TPoint p)
{
    return std::exchange(m_state.brushOrigin, p);
}

void DeviceContext::paint(const std::function<void(QPainter&)>& fn)
{
    if (!m_image || m_image->isNull())
        return;
    QPainter p(m_image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    if (m_clip)
        p.setClipRegion(*m_clip);
    p.translate(-m_origin.X, -m_origin.Y);
    p.setFont(m_state.font);
    fn(p);
    p.end();
    markDirty();
}

void DeviceContext::markDirty()
{
    if (m_window)
        m_window->update();
}

void DeviceContext::flush()
{
    markDirty();
}

QBrush DeviceContext::qbrush(const LogBrush& b) const
{
    const QColor c = TColorToQColor(b.Color);
    switch (b.Style) {
    case BrushStyle::Solid: return QBrush(c);
    case BrushStyle::Clear: return QBrush(Qt::NoBrush);
    case BrushStyle::Horizontal: return QBrush(c, Qt::HorPattern);
    case BrushStyle::Vertical: return QBrush(c, Qt::VerPattern);
    case BrushStyle::FDiagonal: return QBrush(c, Qt::FDiagPattern);
    case BrushStyle::BDiagonal: return QBrush(c, Qt::BDiagPattern);
    case BrushStyle::Cross: return QBrush(c, Qt::CrossPattern);
    case BrushStyle::DiagCross: return QBrush(c, Qt::DiagCrossPattern);
    case BrushStyle::Pattern: {
        QBrush brush(b.Pattern);
        // Patterns are aligned to the brush origin in device space; the painter
        // works in logical space, so shift by the window origin as well.
        brush.setTransform(QTransform::fromTranslate(m_state.brushOrigin.X + m_origin.X, m_state.brushOrigin.Y + m_origin.Y));
        return brush;
    }
    }
    return QBrush(c);
}

QPen DeviceContext::qpen() const
{
    const LogPen& lp = m_state.pen;
    if (lp.Style == PenStyle::Clear)
        return QPen(Qt::NoPen);
    QPen pen(TColorToQColor(lp.Color));
    pen.setWidth(lp.Width <= 1 ? 0 : lp.Width);
    switch (lp.Style) {
    case PenStyle::Dash: pen.setStyle(Qt::DashLine); break;
    case PenStyle::Dot: pen.setStyle(Qt::DotLine); break;
    case PenStyle::DashDot: pen.setStyle(Qt::DashDotLine); break;
    case PenStyle::DashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: pen.setStyle(Qt::SolidLine); break;
    }
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void DeviceContext::fillRect(const TRect& r, const LogBrush& brush)
{
    if (IsRectEmptyRaw(r) || brush.Style == BrushStyle::Clear)
        return;
    const QBrush b = qbrush(brush);
    paint([&](QPainter& p) {
        if (brush.Style == BrushStyle::Solid || brush.Style == BrushStyle::Pattern)
            p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), b);
    });
}

void DeviceContext::fillSolidRect(const TRect& r, TColor color)
{
    LogBrush b;
    b.Color = color;
    fillRect(r, b);
}

void DeviceContext::rectangle(const TRect& r)
{
    if (IsRectEmptyRaw(r))
        return;
    const bool hasPen = m_state.pen.Style != PenStyle::Clear;
    paint([&](QPainter& p) {
        if (m_state.brush.Style != BrushStyle::Clear) {
            // With a pen the interior is one pixel in from each edge; without one
            // the window system fills one pixel less at the right and bottom.
            QRect fill = hasPen ? QRect(r.Left + 1, r.Top + 1, r.Width() - 2, r.Height() - 2)
                                : QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
            if (fill.width() > 0 && fill.height() > 0)
                p.fillRect(fill, qbrush(m_state.brush));
        }
        if (hasPen) {
            p.setPen(qpen());
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
        }
    });
}

void DeviceContext::ellipse(const TRect& r)
{
    if (IsRectEmptyRaw(r))
        return;
    paint([&](QPainter& p) {
        p.setPen(qpen());
        p.setBrush(qbrush(m_state.brush));
        p.drawEllipse(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    });
}

void DeviceContext::roundRect(const TRect& r, int cornerWidth, int cornerHeight)
{
    if (IsRectEmptyRaw(r))
        return;
    paint([&](QPainter& p) {
        p.setPen(qpen());
        p.setBrush(qbrush(m_state.brush));
        p.drawRoundedRect(QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1), cornerWidth / 2.0, cornerHeight / 2.0);
    });
}

void DeviceContext::polygon(const std::vector<TPoint>& points)
{
    if (points.size() < 2)
        return;
    QPolygon poly;
    for (const TPoint& pt : points)
        poly << pt.toQPoint();
    paint([&](QPainter& p) {
        p.setPen(qpen());
        p.setBrush(qbrush(m_state.brush));
        p.drawPolygon(poly, Qt::WindingFill);
    });
}

void DeviceContext::polyline(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    moveTo(points[0].X, points[0].Y);
    for (size_t i = 1; i < points.size(); ++i)
        lineTo(points[i].X, points[i].Y);
}

void DeviceContext::moveTo(int x, int y)
{
    m_state.penPos = TPoint(x, y);
}

void DeviceContext::lineTo(int x, int y)
{
    const TPoint from = m_state.penPos;
    m_state.penPos = TPoint(x, y);
    if (m_state.pen.Style == PenStyle::Clear)
        return;
    if (m_state.pen.Width > 1) {
        paint([&](QPainter& p) {
            p.setPen(qpen());
            p.drawLine(from.toQPoint(), QPoint(x, y));
        });
        return;
    }
    // Thin pens: Bresenham's line without its last point, as the window system draws it.
    const QRgb c = 0xFF000000u | TColorToQColor(m_state.pen.Color).rgb();
    paint([&](QPainter& p) {
        std::vector<QPoint> pts;
        int x0 = from.X, y0 = from.Y;
        const int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
        const int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
        int err = dx + dy;
        while (!(x0 == x && y0 == y)) {
            pts.emplace_back(x0, y0);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
        QPen pen{QColor::fromRgba(c)};
        pen.setWidth(0);
        p.setPen(pen);
        p.drawPoints(pts.data(), int(pts.size()));
    });
}

void DeviceContext::setPixel(int x, int y, TColor c)
{
    if (!m_image)
        return;
    const int dx = x - m_origin.X, dy = y - m_origin.Y;
    if (!m_image->rect().contains(dx, dy) || (m_clip && !m_clip->contains(QPoint(dx, dy))))
        return;
    const QColor q = TColorToQColor(c);
    m_image->setPixel(dx, dy, q.rgb());
    markDirty();
}

uint32_t DeviceContext::getPixel(int x, int y) const
{
    if (!m_image)
        return 0xFFFFFFFFu;
    const int dx = x - m_origin.X, dy = y - m_origin.Y;
    if (!m_image->rect().contains(dx, dy) || (m_clip && !m_clip->contains(QPoint(dx, dy))))
        return 0xFFFFFFFFu;
    const QRgb v = m_image->pixel(dx, dy);
    return RGB(uint8_t(qRed(v)), uint8_t(qGreen(v)), uint8_t(qBlue(v)));
}

void DeviceContext::textOut(int x, int y, const QString& text)
{
    const QFontMetrics fm(m_state.font);
    const QRect box(x, y, fm.horizontalAdvance(text), fm.height());
    paint([&](QPainter& p) {
        if (m_state.bkMode == OPAQUE)
            p.fillRect(box, TColorToQColor(m_state.bkColor));
        p.setPen(TColorToQColor(m_state.textColor));
        p.drawText(QPoint(x, y + fm.ascent()), text);
    });
}

TSize DeviceContext::textExtent(const QString& text) const
{
    const QFontMetrics fm(m_state.font);
    return TSize{fm.horizontalAdvance(text), fm.height()};
}

int DeviceContext::drawText(const QString& text, TRect& r, unsigned format)
{
    int flags = 0;
    if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            flags |= Qt::AlignVCenter;
        else if (format & DT_BOTTOM)
            flags |= Qt::AlignBottom;
        else
            flags |= Qt::AlignTop;
        flags |= Qt::TextSingleLine;
    } else {
        flags |= Qt::AlignTop;
    }
    if (format & DT_WORDBREAK)
        flags |= Qt::TextWordWrap;
    if (format & DT_EXPANDTABS)
        flags |= Qt::TextExpandTabs;
    if (!(format & DT_NOPREFIX))
        flags |= Qt::TextShowMnemonic;
    if (format & DT_NOCLIP)
        flags |= Qt::TextDontClip;

    QString shown = text;
    const QFontMetrics fm(m_state.font);
    if ((format & DT_END_ELLIPSIS) && (format & DT_SINGLELINE))
        shown = fm.elidedText(text, Qt::ElideRight, r.Width(), flags);

    const QRect box(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
    if (format & DT_CALCRECT) {
        const QRect need = fm.boundingRect(QRect(r.Left, r.Top, (format & DT_WORDBREAK) ? std::max(1, r.Width()) : 0, 0),
                                           flags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom),
                                           shown);
        r.Right = r.Left + need.width();
        r.Bottom = r.Top + need.height();
        return need.height();
    }
    QRect used;
    paint([&](QPainter& p) {
        if (m_state.bkMode == OPAQUE) {
            const QRect need = p.boundingRect(box, flags, shown);
            p.fillRect(need, TColorToQColor(m_state.bkColor));
        }
        p.setPen(TColorToQColor(m_state.textColor));
        p.drawText(box, flags, shown, &used);
    });
    return used.height();
}

namespace {

// Where the pixels of a block copy land, after clipping to both images.
bool clipBlock(const QImage& dst, const QImage& src, int& x, int& y, int& w, int& h, int& sx, int& sy)
{
    if (w <= 0 || h <= 0)
        return false;
    if (sx < 0) { x -= sx; w += sx; sx = 0; }
    if (sy < 0) { y -= sy; h += sy; sy = 0; }
    if (x < 0) { sx -= x; w += x; x = 0; }
    if (y < 0) { sy -= y; h += y; y = 0; }
    w = std::min({w, dst.width() - x, src.width() - sx});
    h = std::min({h, dst.height() - y, src.height() - sy});
    return w > 0 && h > 0;
}

} // namespace

bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop)
{
    (void)rop;
    if (!dst || !src || !dst->image() || !src->image())
        return false;
    int dx = x - dst->windowOrigin().X, dy = y - dst->windowOrigin().Y;
    int ssx = sx - src->windowOrigin().X, ssy = sy - src->windowOrigin().Y;
    const QImage& si = *src->image();
    QImage& di = *dst->image();
    if (!clipBlock(di, si, dx, dy, w, h, ssx, ssy))
        return true;
    // Between two pictures of the same format the rows go straight across (a frame of an
    // animation each tick: no copy of the whole picture in between).
    const uchar* sFirst = si.constBits();
    const uchar* dFirst = di.constBits();
    const bool apart = sFirst + si.sizeInBytes() <= dFirst || dFirst + di.sizeInBytes() <= sFirst;
    if (apart && !dst->clipRegion() && di.format() == QImage::Format_ARGB32 &&
        si.format() == QImage::Format_ARGB32) {
        for (int row = 0; row < h; ++row)
            std::memcpy(di.scanLine(dy + row) + size_t(dx) * 4, si.constScanLine(ssy + row) + size_t(ssx) * 4,
                        size_t(w) * 4);
        dst->flush();
        return true;
    }
    // Copy out first so that a context copying onto itself reads the old pixels.
    const QImage piece = si.copy(ssx, ssy, w, h).convertToFormat(QImage::Format_ARGB32);
    const auto& clip = dst->clipRegion();
    if (!clip && di.format() == QImage::Format_ARGB32) {
        for (int row = 0; row < h; ++row)
            std::memcpy(di.scanLine(dy + row) + size_t(dx) * 4, piece.constScanLine(row), size_t(w) * 4);
        dst->flush();
        return true;
    }
    QPainter p(&di);
    if (clip)
        p.setClipRegion(*clip);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(dx, dy, piece);
    p.end();
    dst->flush();
    return true;
}

bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop)
{
    if (w == sw && h == sh)
        return BitBlt(dst, x, y, w, h, src, sx, sy, rop);
    if (!dst || !src || !dst->image() || !src->image() || w == 0 || h == 0 || sw == 0 || sh == 0)
        return false;
    const QImage& si = *src->image();
    const int ssx = sx - src->windowOrigin().X, ssy = sy - src->windowOrigin().Y;
    // Nearest-neighbour sampling: destination pixel i takes source pixel floor(i * sw / w).
    const int aw = std::abs(w), ah = std::abs(h), asw = std::abs(sw), ash = std::abs(sh);
    QImage piece(aw, ah, QImage::Format_ARGB32);
    piece.fill(0);
    const QImage srcImg = si.format() == QImage::Format_ARGB32 ? si : si.convertToFormat(QImage::Format_ARGB32);
    const bool flipX = (w < 0) != (sw < 0), flipY = (h < 0) != (sh < 0);
    for (int j = 0; j < ah; ++j) {
        const int srow = ssy + int(int64_t(j) * ash / ah);
        if (srow < 0 || srow >= srcImg.height())
            continue;
        const auto* s = reinterpret_cast<const uint32_t*>(srcImg.constScanLine(srow));
        auto* d = reinterpret_cast<uint32_t*>(piece.scanLine(flipY ? ah - 1 - j : j));
        for (int i = 0; i < aw; ++i) {
            const int scol = ssx + int(int64_t(i) * asw / aw);
            if (scol >= 0 && scol < srcImg.width())
                d[flipX ? aw - 1 - i : i] = s[scol];
        }
    }
    DeviceContext tmp(&piece);
    return BitBlt(dst, std::min(x, x + w + (w < 0 ? 1 : 0)), std::min(y, y + h + (h < 0 ? 1 : 0)), aw, ah, &tmp, 0, 0, rop);
}
