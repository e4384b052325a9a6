#pragma once
// Geometry types of the window system the effects library was written for:
// a rectangle whose right and bottom edges are exclusive, and a point.

#include <QPoint>
#include <QRect>
#include <cstdint>

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;

    constexpr TPoint() = default;
    constexpr TPoint(int32_t x, int32_t y) : X(x), Y(y) {}
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;

    QPoint toQPoint() const { return QPoint(X, Y); }
    static TPoint fromQPoint(const QPoint& p) { return TPoint(p.x(), p.y()); }
};

struct TSize {
    int32_t cx = 0;
    int32_t cy = 0;
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

// Right and Bottom are one past the last pixel: Rect(0, 0, 10, 10) covers 100 pixels.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int32_t l, int32_t t, int32_t r, int32_t b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr TRect(TPoint topLeft, TPoint bottomRight)
        : Left(topLeft.X), Top(topLeft.Y), Right(bottomRight.X), Bottom(bottomRight.Y) {}
    friend constexpr bool operator==(const TRect&, const TRect&) = default;

    constexpr TPoint TopLeft() const { return TPoint(Left, Top); }
    constexpr TPoint BottomRight() const { return TPoint(Right, Bottom); }
    constexpr int32_t Width() const { return Right - Left; }
    constexpr int32_t Height() const { return Bottom - Top; }

    // QRect's right() is inclusive; the conversions keep the covered pixels equal.
    QRect toQRect() const { return QRect(QPoint(Left, Top), QPoint(Right - 1, Bottom - 1)); }
    static TRect fromQRect(const QRect& r) { return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }
};

constexpr TRect Rect(int32_t l, int32_t t, int32_t r, int32_t b) { return TRect(l, t, r, b); }
constexpr TPoint Point(int32_t x, int32_t y) { return TPoint(x, y); }
constexpr TRect Bounds(int32_t l, int32_t t, int32_t w, int32_t h) { return TRect(l, t, l + w, t + h); }

// Window-system rectangle helpers (the effects' own arithmetic lives in effects/util).
constexpr bool IsRectEmptyRaw(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
void OffsetRect(TRect& r, int dx, int dy);
void InflateRect(TRect& r, int dx, int dy);
bool PtInRect(const TRect& r, TPoint p);
