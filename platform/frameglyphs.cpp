#include "platform/frameglyphs.h"

#include "platform/framecontrolstates.h"

#include <algorithm>
#include <cstdlib>

namespace {

QRegion rowSpan(int y, int x0, int x1) // columns x0..x1 inclusive of row y
{
    return x1 < x0 ? QRegion() : QRegion(x0, y, x1 - x0 + 1, 1);
}

// A window outline m wide and tall with a two-pixel title bar: the maximize box.
QRegion windowOutline(int x, int y, int m)
{
    QRegion r(x, y, m, std::min(2, m));
    r += QRegion(x, y, 1, m);
    r += QRegion(x + m - 1, y, 1, m);
    r += QRegion(x, y + m - 1, m, 1);
    return r;
}

} // namespace

namespace frameglyphs {

// The side of the square a caption glyph is laid out in, for a button whose
// smaller side is s: 9 in a 16 x 14 button.
int captionGlyphSquare(int s)
{
    return std::max(3, s / 2) + 2;
}

// A caption glyph in a square of side q = g + 2, where g is the height of the close
// cross (7 in a 16 x 14 button). The maximize and restore windows fill the square,
// the minimize bar lies along its bottom, the cross and the question mark in its middle.
QRegion captionGlyph(unsigned kind, int q)
{
    const int g = q - 2;
    QRegion r;
    switch (kind) {
    case DFCS_CAPTIONMIN: // a bar two pixels high at the bottom of the square
        r = QRegion(1, g, g - 1, 2);
        break;
    case DFCS_CAPTIONMAX:
        r = windowOutline(0, 0, g + 2);
        break;
    case DFCS_CAPTIONRESTORE: { // two windows, the front one hiding the back one
        const int m = g - 1;
        const int o = g + 2 - m;
        const QRegion front = windowOutline(0, o, m);
        r = (windowOutline(o, 0, m) - QRegion(0, o, m, m)) + front;
        break;
    }
    case DFCS_CAPTIONHELP: { // a question mark, 6 x 9 at g = 7, scaled whole
        static const char* const rows[] = {".XXXX.", "XX..XX", "XX..XX", "...XX.", "..XX..",
                                           "..XX..", "......", "..XX..", "..XX.."};
        const int k = std::max(1, q / 9);
        const int x0 = (q - 6 * k) / 2, y0 = (q - 9 * k) / 2;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 6; ++x)
                if (rows[y][x] == 'X')
                    r += QRegion(x0 + x * k, y0 + y * k, k, k);
        break;
    }
    default: // close: a cross g high and g + 1 wide, each arm two pixels across
        for (int y = 0; y < g; ++y) {
            r += rowSpan(1 + y, 1 + y, 2 + y);
            r += rowSpan(1 + y, g - y, g + 1 - y);
        }
        break;
    }
    return r;
}

// Menu glyphs for a box whose smaller side is s (13 for the standard check box).
QRegion menuGlyph(unsigned kind, int s)
{
    QRegion r;
    switch (kind) {
    case DFCS_MENUCHECK: { // n x n, strokes t pixels high, the corner at column m
        const int n = std::max(3, (s * 7 + 6) / 13);
        const int t = std::max(1, n * 3 / 7);
        const int m = (n - 1) / 3;
        for (int x = 0; x < n; ++x) {
            const int top = n - t - std::abs(x - m);
            const int y0 = std::max(0, top);
            const int y1 = std::min(n - 1, top + t - 1);
            if (y1 >= y0)
                r += QRegion(x, y0, 1, y1 - y0 + 1);
        }
        break;
    }
    case DFCS_MENUBULLET: { // a filled disc of diameter d
        const int d = std::max(2, (s * 5 + 6) / 13);
        const double c = (d - 1) / 2.0;
        const double rr = d * d / 4.0;
        for (int y = 0; y < d; ++y) {
            int x0 = 0;
            while (x0 < d && (x0 - c) * (x0 - c) + (y - c) * (y - c) > rr)
                ++x0;
            r += rowSpan(y, x0, d - 1 - x0);
        }
        break;
    }
    case DFCS_MENUARROWRIGHT: // points left (menus cascading right to left)
    default: {                // a solid triangle a wide and 2a - 1 high, pointing right
        const int a = std::max(2, (s * 4 + 6) / 13);
        for (int i = 0; i < a; ++i) {
            const int x = kind == DFCS_MENUARROWRIGHT ? a - 1 - i : i;
            r += QRegion(x, i, 1, 2 * (a - i) - 1);
        }
        break;
    }
    }
    return r;
}

void fillRegion(QPainter& p, const QRegion& region, const QPoint& at, const QColor& colour)
{
    for (const QRect& rect : region)
        p.fillRect(rect.translated(at), colour);
}

// The top-left corner that centres `glyph` in r.
QPoint centredIn(const QRect& r, const QRegion& glyph)
{
    const QRect b = glyph.boundingRect();
    return QPoint(r.x() + (r.width() - b.width()) / 2 - b.x(), r.y() + (r.height() - b.height()) / 2 - b.y());
}

} // namespace frameglyphs
