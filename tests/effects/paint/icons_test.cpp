// Icons centred in a rectangle by the small-icon size, drawn at their own size.

#include "effects/paint/canvaspainting.h"
#include "tests/effects/paint/painttestcanvas.h"
#include "platform/screen.h"

#include <QIcon>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

// A w x h picture in one colour with a transparent top-left pixel.
QPixmap picture(int w, int h, QRgb colour = 0xFFFF0000)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    image.setPixel(0, 0, 0x00000000);
    return QPixmap::fromImage(image);
}

// The bounding box of the pixels that are not white, or an empty rectangle.
TRect inked(const TestCanvas& t)
{
    QRect box;
    for (int y = 0; y < t.image.height(); ++y)
        for (int x = 0; x < t.image.width(); ++x)
            if (t.at(x, y) != 0xFFFFFFFFu)
                box |= QRect(x, y, 1, 1);
    return box.isEmpty() ? TRect() : TRect::fromQRect(box);
}

} // namespace

TEST(DrawIcon, CentresTheSmallIconSquareAndDrawsAtTheIconsOwnSize)
{
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    ASSERT_GT(cx, 0);
    const TRect r(7, 5, 7 + cx + 13, 5 + cy + 8);
    const TPoint at(r.Left + 6, r.Top + 4); // offsets truncated toward zero

    TestCanvas t(60, 60);
    const QPixmap small = picture(cx, cy);
    DrawIcon(&t.canvas, r, &small);
    EXPECT_EQ(inked(t), TRect(at.X, at.Y, at.X + cx, at.Y + cy));
    EXPECT_EQ(t.at(at.X, at.Y), 0xFFFFFFFFu) << "transparent icon pixels leave the canvas";

    // Bigger icons keep their size and hang from the same corner; a QIcon draws the
    // first size it holds.
    TestCanvas big(80, 80);
    const QPixmap large = picture(cx + 16, cy + 16);
    DrawIcon(&big.dc, r, &large);
    EXPECT_EQ(inked(big), TRect(at.X, at.Y, at.X + cx + 16, at.Y + cy + 16));
    QIcon icon;
    icon.addPixmap(picture(cx + 2, cy + 2, 0xFF0000FF));
    icon.addPixmap(picture(cx, cy, 0xFF00FF00));
    TestCanvas q(60, 60);
    DrawIcon(&q.canvas, r, &icon);
    EXPECT_EQ(inked(q), TRect(at.X, at.Y, at.X + cx + 2, at.Y + cy + 2));
    EXPECT_EQ(q.at(at.X + 1, at.Y + 1), 0xFF0000FFu);

    // No icon, no drawing.
    const QIcon empty;
    DrawIcon(&q.canvas, TRect(0, 0, 60, 60), &empty);
    DrawIcon(&q.canvas, TRect(0, 0, 60, 60), static_cast<const QPixmap*>(nullptr));
    EXPECT_EQ(inked(q), TRect(at.X, at.Y, at.X + cx + 2, at.Y + cy + 2));
}
