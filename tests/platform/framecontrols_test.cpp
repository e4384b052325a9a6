// Frame controls and edges drawn into a context look like what the style paints
// for the matching Qt widget.

#include "platform/framecontrols.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyleOptionSlider>
#include <gtest/gtest.h>

namespace {

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(0xFF000000u);
    return img;
}

QImage rendered(QWidget& widget)
{
    QImage img = blank(widget.width(), widget.height());
    QPainter p(&img);
    widget.render(&p, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return img;
}

QRgb role(QPalette::ColorRole r)
{
    return QApplication::palette().color(r).rgb();
}

} // namespace

TEST(FrameControls, PushFaceIsTheButtonsBevelAndAdjustShrinksIt)
{
    QPushButton button;
    button.resize(41, 23);
    QImage img = blank(41, 23);
    DeviceContext dc(&img);
    TRect r(0, 0, 41, 23);
    EXPECT_TRUE(DrawFrameControl(&dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
    EXPECT_EQ(r, TRect(2, 2, 39, 21));
    EXPECT_EQ(luxtest::differingPixels(img, rendered(button)), 0);

    TRect same(0, 0, 41, 23);
    DrawFrameControl(&dc, &same, DFC_BUTTON, DFCS_BUTTONPUSH);
    EXPECT_EQ(same, TRect(0, 0, 41, 23));
    EXPECT_FALSE(DrawFrameControl(nullptr, &same, DFC_BUTTON, DFCS_BUTTONPUSH));
    EXPECT_FALSE(DrawFrameControl(&dc, nullptr, DFC_BUTTON, DFCS_BUTTONPUSH));
    EXPECT_FALSE(DrawFrameControl(&dc, &same, 99, 0));
}

TEST(FrameControls, ScrollArrowsAndThumbAreTheScrollBarsParts)
{
    QScrollBar bar(Qt::Vertical);
    bar.setRange(0, 100);
    bar.setPageStep(20);
    bar.setValue(40);
    bar.resize(16, 120);
    const QImage reference = rendered(bar);
    QStyleOptionSlider opt;
    opt.initFrom(&bar);
    opt.orientation = Qt::Vertical;
    opt.minimum = 0;
    opt.maximum = 100;
    opt.pageStep = 20;
    opt.sliderPosition = opt.sliderValue = 40;
    const QRect thumbRect = bar.style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, &bar);
    ASSERT_GT(thumbRect.height(), 4);
    const int a = 16;
    QImage img = blank(16, 120);
    DeviceContext dc(&img);
    TRect up(0, 0, 16, a), down(0, 120 - a, 16, 120), thumb = TRect::fromQRect(thumbRect);
    DrawFrameControl(&dc, &up, DFC_SCROLL, DFCS_SCROLLUP);
    DrawFrameControl(&dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN);
    DrawFrameControl(&dc, &thumb, DFC_SCROLL, DFCS_SCROLLTHUMB);
    EXPECT_EQ(luxtest::differingPixels(img.copy(0, 0, 16, a), reference.copy(0, 0, 16, a)), 0);
    EXPECT_EQ(luxtest::differingPixels(img.copy(0, 120 - a, 16, a), reference.copy(0, 120 - a, 16, a)), 0);
    EXPECT_EQ(luxtest::differingPixels(img.copy(thumbRect), reference.copy(thumbRect)), 0);
    // An inactive arrow is a disabled scroll bar's arrow.
    bar.setEnabled(false);
    const QImage disabled = rendered(bar);
    QImage inactive = blank(16, a);
    DeviceContext idc(&inactive);
    TRect i(0, 0, 16, a);
    DrawFrameControl(&idc, &i, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE);
    EXPECT_EQ(luxtest::differingPixels(inactive, disabled.copy(0, 0, 16, a)), 0);
    EXPECT_GT(luxtest::differingPixels(inactive, img.copy(0, 0, 16, a)), 0);
}

TEST(FrameControls, SunkenEdgeIsTheStyledPanelFrame)
{
    QFrame frame;
    frame.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    frame.resize(30, 20);
    const QImage reference = rendered(frame);
    QImage img = blank(30, 20);
    DeviceContext dc(&img);
    TRect r(0, 0, 30, 20);
    EXPECT_TRUE(DrawEdge(&dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_MIDDLE));
    EXPECT_EQ(r, TRect(2, 2, 28, 18));
    // The ring equals the frame; BF_MIDDLE filled the interior with the face.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool ring = x < 2 || y < 2 || x >= 28 || y >= 18;
            ASSERT_EQ(img.pixel(x, y), ring ? reference.pixel(x, y) : role(QPalette::Button)) << x << "," << y;
        }
}

TEST(FrameControls, EdgeSidesMonoAndOrigin)
{
    QImage img = blank(20, 20);
    DeviceContext dc(&img);
    dc.setWindowOrigin(TPoint(-5, -5)); // logical (0, 0) is pixel (5, 5)
    TRect r(0, 0, 10, 10);
    DrawEdge(&dc, &r, BDR_RAISEDOUTER | BDR_SUNKENOUTER, BF_LEFT | BF_BOTTOM | BF_MONO | BF_ADJUST);
    EXPECT_EQ(r, TRect(1, 0, 10, 9));
    const QRgb ink = role(QPalette::WindowText);
    EXPECT_EQ(img.pixel(5, 5), ink);   // left side
    EXPECT_EQ(img.pixel(5, 14), ink);  // bottom side
    EXPECT_EQ(img.pixel(14, 14), ink);
    EXPECT_EQ(img.pixel(14, 5), 0xFF000000u); // no right or top side
    EXPECT_EQ(img.pixel(8, 5), 0xFF000000u);
    EXPECT_EQ(img.pixel(4, 4), 0xFF000000u);
}

namespace {

// The pixels of img inside r whose colour is c.
QRegion pixelsOf(const QImage& img, const QRect& r, QRgb c)
{
    QRegion region;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) == c)
                region += QRect(x, y, 1, 1);
    return region;
}

QImage mirrored(const QImage& img)
{
    return img.mirrored(true, false);
}

} // namespace

TEST(FrameControls, CaptionGlyphsAreSolidButtonTextStrokesOnTheFace)
{
    const QRgb ink = role(QPalette::ButtonText);
    const QSet<QRgb> face = {role(QPalette::Button), role(QPalette::Light), role(QPalette::Midlight),
                             role(QPalette::Dark), role(QPalette::Shadow)};
    ASSERT_FALSE(face.contains(ink));
    const QRect box(3, 2, 16, 14);
    QList<QImage> seen;
    for (unsigned kind : {DFCS_CAPTIONCLOSE, DFCS_CAPTIONMIN, DFCS_CAPTIONMAX, DFCS_CAPTIONRESTORE, DFCS_CAPTIONHELP}) {
        QImage img = blank(22, 18);
        img.fill(0xFF123456u);
        DeviceContext dc(&img);
        TRect r = TRect::fromQRect(box);
        ASSERT_TRUE(DrawFrameControl(&dc, &r, DFC_CAPTION, kind));
        // Only the face's own colours and unsmoothed strokes, nothing outside the box.
        int strokes = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                if (!box.contains(x, y)) {
                    ASSERT_EQ(c, 0xFF123456u) << kind << " at " << x << "," << y;
                    continue;
                }
                ASSERT_TRUE(c == ink || face.contains(c)) << kind << " at " << x << "," << y << ": " << std::hex << c;
                strokes += c == ink;
            }
        EXPECT_GE(strokes, 10) << kind;
        // Pushed: the same strokes one pixel down and right.
        QImage pushed = blank(22, 18);
        DeviceContext pdc(&pushed);
        DrawFrameControl(&pdc, &r, DFC_CAPTION, kind | DFCS_PUSHED);
        EXPECT_EQ(pixelsOf(pushed, box, ink), pixelsOf(img, box, ink).translated(1, 1)) << kind;
        // Inactive: embossed, the shadow colour where the strokes were, no text colour.
        QImage inactive = blank(22, 18);
        DeviceContext idc(&inactive);
        DrawFrameControl(&idc, &r, DFC_CAPTION, kind | DFCS_INACTIVE);
        EXPECT_TRUE(pixelsOf(inactive, box, ink).isEmpty()) << kind;
        EXPECT_EQ(pixelsOf(inactive, box.adjusted(2, 2, -2, -2), role(QPalette::Dark)),
                  pixelsOf(img, box.adjusted(2, 2, -2, -2), ink))
            << kind;
        EXPECT_FALSE(pixelsOf(inactive, box.adjusted(2, 2, -2, -2), role(QPalette::Light)).isEmpty()) << kind;
        for (const QImage& other : seen)
            EXPECT_GT(luxtest::differingPixels(img, other), 0) << kind;
        seen.append(img);
    }
    // The cross is symmetric: its strokes mirror onto themselves about the glyph's middle.
    QImage cross = blank(15, 15);
    DeviceContext dc(&cross);
    TRect r(0, 0, 15, 15);
    DrawFrameControl(&dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    const QRegion strokes = pixelsOf(cross, QRect(0, 0, 15, 15), ink);
    const QRect b = strokes.boundingRect();
    const QImage glyph = cross.copy(b);
    EXPECT_EQ(luxtest::differingPixels(glyph, mirrored(glyph)), 0);
    EXPECT_EQ(luxtest::differingPixels(glyph, glyph.mirrored(false, true)), 0);
}

TEST(FrameControls, MenuGlyphsAreBlackStrokesOnWhite)
{
    const QRgb black = 0xFF000000u, white = 0xFFFFFFFFu;
    QList<QImage> seen;
    for (unsigned kind : {DFCS_MENUARROW, DFCS_MENUCHECK, DFCS_MENUBULLET, DFCS_MENUARROWRIGHT}) {
        for (int side : {13, 16, 21}) {
            QImage img = blank(side + 4, side + 4);
            img.fill(0xFF808000u);
            DeviceContext dc(&img);
            dc.setWindowOrigin(TPoint(-2, -2));
            TRect r(0, 0, side, side);
            ASSERT_TRUE(DrawFrameControl(&dc, &r, DFC_MENU, kind | DFCS_INACTIVE));
            int strokes = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const bool inside = x >= 2 && y >= 2 && x < side + 2 && y < side + 2;
                    const QRgb c = img.pixel(x, y);
                    ASSERT_TRUE(inside ? (c == black || c == white) : c == 0xFF808000u)
                        << kind << "/" << side << " at " << x << "," << y;
                    strokes += c == black;
                }
            // A glyph, not a filled box: at most a third of the rectangle.
            EXPECT_GE(strokes, 6) << kind << "/" << side;
            EXPECT_LT(strokes, side * side / 3) << kind << "/" << side;
            if (side == 16) {
                for (const QImage& other : seen)
                    EXPECT_GT(luxtest::differingPixels(img, other), 0) << kind;
                seen.append(img);
            }
        }
    }
    // The right-to-left arrow is the arrow turned round; the bullet is round.
    const QImage arrow = seen[0].copy(2, 2, 16, 16), back = seen[3].copy(2, 2, 16, 16), bullet = seen[2].copy(2, 2, 16, 16);
    const QRect a = pixelsOf(arrow, arrow.rect(), black).boundingRect();
    EXPECT_EQ(a.height(), 2 * a.width() - 1);
    EXPECT_EQ(pixelsOf(back, back.rect(), black).boundingRect(), a);
    EXPECT_EQ(luxtest::differingPixels(arrow.copy(a), mirrored(back.copy(a))), 0);
    const QRect d = pixelsOf(bullet, bullet.rect(), black).boundingRect();
    EXPECT_EQ(d.width(), d.height());
    EXPECT_EQ(luxtest::differingPixels(bullet.copy(d), bullet.copy(d).transformed(QTransform().rotate(90))), 0);
}

TEST(FrameControls, FocusFrameDotsAreTheBrushsInverseWhateverLiesUnder)
{
    // A background of many colours: the dots take the brush's inverse, not the
    // inverse of the pixel under them, as the style paints a focused widget.
    QImage img = blank(23, 11);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 11, y * 23, (x * y * 7) & 0x7F));
    const QImage before = img;
    DeviceContext dc(&img);
    dc.setWindowOrigin(TPoint(-2, -1)); // logical (0, 0) is pixel (2, 1)
    LogBrush brush;
    brush.Color = TColor(RGB(0x20, 0x40, 0x60));
    dc.setBrush(brush);
    const TRect r(1, 1, 19, 8); // pixels (3, 2) to (20, 8)
    EXPECT_TRUE(DrawFocusRect(&dc, &r));
    const QRgb dot = qRgb(0xDF, 0xBF, 0x9F);
    int dots = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (img.pixel(x, y) == before.pixel(x, y))
                continue;
            ++dots;
            const bool onFrame = x >= 3 && x <= 20 && y >= 2 && y <= 8 && (x == 3 || x == 20 || y == 2 || y == 8);
            EXPECT_TRUE(onFrame) << x << "," << y;
            EXPECT_EQ(img.pixel(x, y), dot) << x << "," << y;
        }
    // Every other pixel of the frame's 46.
    EXPECT_GE(dots, 21);
    EXPECT_LE(dots, 25);
    // Drawn again over itself (a grabber's focus frame over a rendering that
    // already shows one), the picture stays the same.
    const QImage once = img;
    EXPECT_TRUE(DrawFocusRect(&dc, &r));
    EXPECT_EQ(luxtest::differingPixels(img, once), 0);

    // Without a solid brush the dots are the face colour's inverse.
    QImage face = blank(12, 8);
    face.fill(QApplication::palette().color(QPalette::Button));
    DeviceContext fdc(&face);
    LogBrush hollow;
    hollow.Style = BrushStyle::Clear;
    fdc.setBrush(hollow);
    const TRect f(1, 1, 11, 7);
    DrawFocusRect(&fdc, &f);
    EXPECT_FALSE(pixelsOf(face, face.rect(), role(QPalette::Button) ^ 0x00FFFFFFu).isEmpty());
    EXPECT_FALSE(DrawFocusRect(nullptr, &f));
    EXPECT_FALSE(DrawFocusRect(&fdc, nullptr));
}
