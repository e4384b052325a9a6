#include "effects/util/controlgeometry.h"
#include "tests/support/testsupport.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWidget>
#include <gtest/gtest.h>

TEST(ControlGeometry, TopLevelBoundsAreOnTheScreenAndPlaceTheClientArea)
{
    QWidget window;
    window.setGeometry(100, 120, 200, 150);
    window.show();
    luxtest::processEventsFor(100);

    const TRect bounds = GetRealBoundsRect(&window);
    const TPoint origin = GetClientOrigin(&window);
    EXPECT_EQ(bounds, TRect::fromQRect(window.frameGeometry()));
    // Whatever frame the window manager adds, bounds corner + client origin is
    // where the client area starts on the screen.
    const QPoint clientOnScreen = window.mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(bounds.Left + origin.X, clientOnScreen.x());
    EXPECT_EQ(bounds.Top + origin.Y, clientOnScreen.y());
    EXPECT_EQ(GetRealClientRect(&window), Bounds(origin.X, origin.Y, 200, 150));
    EXPECT_GE(bounds.Width(), 200);
}

TEST(ControlGeometry, FramedChildrenHaveTheirClientAreaInsideTheFrame)
{
    QWidget window;
    window.resize(300, 300);
    auto* plain = new QWidget(&window);
    plain->setGeometry(7, 9, 40, 30);
    auto* frame = new QFrame(&window);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(3);
    frame->setGeometry(50, 60, 100, 80);
    auto* inner = new QWidget(frame);
    inner->setGeometry(20, 30, 10, 10);
    window.show();
    luxtest::processEventsFor(50);

    EXPECT_EQ(GetClientOrigin(plain), TPoint(0, 0));
    EXPECT_EQ(GetRealClientRect(plain), TRect(0, 0, 40, 30));
    EXPECT_EQ(GetRealBoundsRect(plain), TRect(7, 9, 47, 39));

    EXPECT_EQ(GetClientOrigin(frame), TPoint(3, 3));
    EXPECT_EQ(GetRealClientRect(frame), TRect(3, 3, 97, 77));
    EXPECT_EQ(GetRealBoundsRect(frame), TRect(50, 60, 150, 140));
    // A child's bounds are in its parent's client coordinates; corner + origin gives it back.
    const TRect innerBounds = GetRealBoundsRect(inner);
    EXPECT_EQ(innerBounds, TRect(17, 27, 27, 37));
    EXPECT_EQ(innerBounds.Left + GetClientOrigin(frame).X, inner->x());

    EXPECT_EQ(GetClientOrigin(nullptr), TPoint());
    EXPECT_EQ(GetRealBoundsRect(nullptr), TRect());
}

TEST(ControlGeometry, ScrollAreaClientExcludesFrameAndScrollBars)
{
    QWidget window;
    window.resize(300, 300);
    auto* edit = new QPlainTextEdit(&window);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setGeometry(10, 10, 200, 120);
    window.show();
    luxtest::processEventsFor(50);

    const int fw = edit->frameWidth();
    ASSERT_GT(fw, 0);
    EXPECT_EQ(GetClientOrigin(edit), TPoint(fw, fw));
    const TRect client = GetRealClientRect(edit);
    const QScrollBar* bar = edit->verticalScrollBar();
    const QPoint barInEdit = bar->mapTo(edit, QPoint(0, 0));
    EXPECT_EQ(client.Left, fw);
    EXPECT_EQ(client.Right, barInEdit.x());
    EXPECT_EQ(client.Bottom, 120 - fw);
    // The viewport is the scroll area's client area: it sits at (0, 0) in it.
    EXPECT_EQ(GetRealBoundsRect(edit->viewport()).TopLeft(), TPoint(0, 0));
}
