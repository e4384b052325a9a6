// A hand sweeping about the bottom-left corner: its tip climbs the right edge, then runs along
// the top edge.

#include "effects/masks/generators.h"

#include "effects/masks/shapecover.h"

#include "platform/arith.h"

namespace generators {

namespace {

// Hand i: to (W - 1, H - i) on the right edge while i < H, then to (W + H - i, 0) on the top.
void handShape(int W, int H, int i, MaskPen& pen)
{
    if (i < H)
        pen.line(0, H - 1, W - 1, H - i);
    else
        pen.line(0, H - 1, W + H - i, 0);
}

} // namespace

// Hands 0 .. c: the right edge from the bottom, then the top edge from (W + H - c, 0) to
// (W, 0). With one value the order does not matter, and those top-edge tips are the tips of
// hands H .. c of the soft sweep: the same set of lines as hands 0 .. c.
void rotateHand(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    shapesUpTo(m, handShape, MulDiv(m.W + m.H, P, 100), v);
}

void smoothRotateHand(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int n = MulDiv(2 * (m.W + m.H), P, 100);
    softShapesUpTo(m, handShape, GradientBand(P, n).levels(n));
}

} // namespace generators
