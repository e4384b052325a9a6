#include "effects/util/rectutils.h"

#include <cstdint>

TRect RectOffset(const TRect& R, int D)
{
    return TRect(R.Left - D, R.Top - D, R.Right + D, R.Bottom + D);
}

TRect MarginRect(const TRect& R, const TRect& M)
{
    return TRect(R.Left + M.Left, R.Top + M.Top, R.Right - M.Right, R.Bottom - M.Bottom);
}

bool RectInRect(const TRect& A, const TRect& B)
{
    return A.Left >= B.Left && A.Top >= B.Top && A.Right <= B.Right && A.Bottom <= B.Bottom;
}

bool CompareRect(const TRect& A, const TRect& B)
{
    return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}

namespace {

enum class Axis { Horizontal, Vertical, Both };

TRect centerIn(TRect& R, const TRect& bounds, Axis axis)
{
    const TRect b = bounds; // R and Bounds may be the same rectangle
    const int w = RectWidth(R), h = RectHeight(R);
    // C++ division truncates toward zero, which is the rule the layouts rely on.
    const int dx = (axis == Axis::Vertical) ? 0 : (RectWidth(b) - w) / 2;
    const int dy = (axis == Axis::Horizontal) ? 0 : (RectHeight(b) - h) / 2;
    R = TRect(b.Left + dx, b.Top + dy, b.Left + dx + w, b.Top + dy + h);
    return R;
}

} // namespace

TRect RectHCenter(TRect& R, const TRect& Bounds) { return centerIn(R, Bounds, Axis::Horizontal); }
TRect RectVCenter(TRect& R, const TRect& Bounds) { return centerIn(R, Bounds, Axis::Vertical); }
TRect RectCenter(TRect& R, const TRect& Bounds) { return centerIn(R, Bounds, Axis::Both); }

// The window system samples a polygon on each scan line y, and a pixel x of that
// line is inside when its left edge lies inside a filled span: spans are half-open
// [x_enter, x_leave) and scan lines count an edge on [y_min, y_max). This is the
// same as asking about the point (x + e, y + d) with 0 < d << e infinitely small,
// which the integer test below does exactly (integer cross products, no division).
bool PointInPolygon(const TPoint& P, const TPoint* Points, const int High)
{
    if (!Points || High < 2)
        return false; // fewer than three vertices enclose nothing
    int winding = 0;
    for (int i = 0; i <= High; ++i) {
        const TPoint& a = Points[i];
        const TPoint& b = Points[i == High ? 0 : i + 1];
        if (a.Y == b.Y)
            continue; // horizontal edges never cross a scan line
        const bool down = b.Y > a.Y;
        const TPoint& lo = down ? a : b; // end with the smaller y
        const TPoint& hi = down ? b : a;
        if (P.Y < lo.Y || P.Y >= hi.Y)
            continue;
        // The edge crosses the scan line at x_c = lo.X + (P.Y - lo.Y) * (hi.X - lo.X) / (hi.Y - lo.Y).
        // It counts when x_c <= P.X (the edge is at or left of the pixel's left edge).
        // 128-bit products: coordinates span the whole 32-bit range.
        const __int128 dy = int64_t(hi.Y) - lo.Y;
        const __int128 lhs = __int128(lo.X) * dy + __int128(int64_t(P.Y) - lo.Y) * (int64_t(hi.X) - lo.X);
        const __int128 rhs = __int128(P.X) * dy;
        if (lhs <= rhs)
            winding += down ? 1 : -1;
    }
    return winding != 0;
}
