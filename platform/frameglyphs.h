#pragma once
// The glyphs of the caption buttons and menus. The window system draws them as solid strokes
// without smoothing; code that recolours a glyph (it keeps only the black pixels) relies on that.
// Each glyph is a region of whole pixels in its own coordinates, with its size derived from the
// box it is drawn in.

#include <QColor>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QRegion>

namespace frameglyphs {

// The side of the square a caption glyph is laid out in, for a button whose smaller side is s:
// 9 in a 16 x 14 button.
int captionGlyphSquare(int s);

// A caption glyph (DFCS_CAPTIONCLOSE, ...MIN, ...MAX, ...RESTORE, ...HELP) in a square of side q.
QRegion captionGlyph(unsigned kind, int q);

// A menu glyph (DFCS_MENUCHECK, ...BULLET, ...ARROW, ...ARROWRIGHT) for a box whose smaller side
// is s (13 for the standard check box).
QRegion menuGlyph(unsigned kind, int s);

// Fills the glyph's pixels, moved by at.
void fillRegion(QPainter& p, const QRegion& region, const QPoint& at, const QColor& colour);

// The top-left corner that centres `glyph` in r.
QPoint centredIn(const QRect& r, const QRegion& glyph);

} // namespace frameglyphs
