// Icons centred in a rectangle by the small-icon size, drawn at their own size.

#include "canvaspainting.h"
#include "painttestcanvas.h"
#include "screen.h"

#include <QIcon>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

constexpr QRgb white = 0xFFFFFFFF;

// A w x h picture: red, with a transparent top-left pixel.
QPixmap picture(int w, int h, QRgb colour = 0xFFFF0000)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    image.setPixel(0, 0, 0x00000000);
    return QPixmap::fromImage(image);
}

// Where the picture's top-left lands: the small-icon square centred in R, the
// offsets truncated toward zero.
TPoint cornerIn(const TRect& r)
{
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    return TPoint(r.Left + (r.Width() - cx) / 2, r.Top + (r.Height() - cy) / 2);
}

// The bounding box of the pixels that differ from white, or an empty rectangle.
TRect inked(const TestCanvas& t)
{
    TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
    for (int y = 0; y < t.image.height(); ++y)
        for (int x = 0; x < t.image.width(); ++x)
            if (t.at(x, y) != white) {
                box = TRect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1));
            }
    return box.Left == INT32_MAX ? TRect() : box;
}

} // namespace

TEST(DrawIcon, CentresTheSmallIconSquareAndDrawsAtTheIconsOwnSize)
{
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    ASSERT_GT(cx, 0);
    const TRect r(7, 5, 7 + cx + 13, 5 + cy + 8);
    const TPoint at = cornerIn(r);

    TestCanvas t(r.Right + 4, r.Bottom + 4);
    const QPixmap small = picture(cx, cy);
    DrawIcon(&t.canvas, r, &small);
    EXPECT_EQ(inked(t), TRect(at.X, at.Y, at.X + cx, at.Y + cy));
    EXPECT_EQ(t.at(at.X, at.Y), white) << "transparent icon pixels leave the canvas";
    EXPECT_EQ(t.at(at.X + 1, at.Y), 0xFFFF0000u);

    // A bigger icon keeps its size and hangs from the same corner.
    TestCanvas big(r.Right + 40, r.Bottom + 40);
    const QPixmap large = picture(cx + 16, cy + 16);
    DrawIcon(&big.dc, r, &large);
    EXPECT_EQ(inked(big), TRect(at.X, at.Y, at.X + cx + 16, at.Y + cy + 16));

    // A QIcon draws its first size; several sizes do not make it pick another.
    QIcon icon;
    icon.addPixmap(picture(cx + 2, cy + 2, 0xFF0000FF));
    icon.addPixmap(picture(cx, cy, 0xFF00FF00));
    TestCanvas q(r.Right + 8, r.Bottom + 8);
    DrawIcon(&q.canvas, r, &icon);
    EXPECT_EQ(inked(q), TRect(at.X, at.Y, at.X + cx + 2, at.Y + cy + 2));
    EXPECT_EQ(q.at(at.X + 1, at.Y + 1), 0xFF0000FFu);
}

TEST(DrawIcon, NullIconsDrawNothing)
{
    TestCanvas t(30, 30);
    DrawIcon(&t.canvas, TRect(0, 0, 30, 30), static_cast<const QIcon*>(nullptr));
    DrawIcon(&t.dc, TRect(0, 0, 30, 30), static_cast<const QPixmap*>(nullptr));
    const QIcon empty;
    DrawIcon(&t.canvas, TRect(0, 0, 30, 30), &empty);
    EXPECT_EQ(inked(t), TRect());
}
