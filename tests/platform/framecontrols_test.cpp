// Frame controls and edges drawn into a context look like what the style paints
// for the matching Qt widget.

#include "framecontrols.h"
#include "testsupport.h"

#include <QApplication>
#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
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

TEST(FrameControls, FocusFrameDotsInvertTheBrushColour)
{
    QImage img = blank(12, 8);
    img.fill(QColor(0x20, 0x40, 0x60));
    DeviceContext dc(&img);
    LogBrush brush;
    brush.Color = TColor(RGB(0x20, 0x40, 0x60));
    dc.setBrush(brush);
    const TRect r(1, 1, 11, 7);
    EXPECT_TRUE(DrawFocusRect(&dc, &r));
    const QRgb dot = qRgb(0xDF, 0xBF, 0x9F);
    int dots = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool onFrame = (x == 1 || x == 10 || y == 1 || y == 6) && x >= 1 && x <= 10 && y >= 1 && y <= 6;
            if (img.pixel(x, y) == dot) {
                ++dots;
                EXPECT_TRUE(onFrame) << x << "," << y;
            }
        }
    // Every other pixel of the frame.
    EXPECT_GE(dots, 12);
    EXPECT_LE(dots, 16);
}
