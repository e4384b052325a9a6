// Freezing forms and child controls under lock windows, on real windows.

#include "effects/forms/animationform.h"
#include "effects/forms/controlfreezer.h"
#include "tests/effects/forms/freezefixture.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/util/controlgeometry.h"
#include "effects/util/platformhelpers.h"
#include "effects/util/transitionsurface.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace freezetest;

namespace {

// The windows of these tests lie in their own part of the 1280 x 1024 test
// screen, away from those of tests running at the same time.
QRect at(int x, int y, int w, int h)
{
    return QRect(x + 500, y + 40, w, h);
}

// A picture no window paints by itself: colours change from pixel to pixel.
// With zeroAlpha every other row has alpha 0, as pixels copied from elsewhere may.
std::unique_ptr<TluxBitmap> makePicture(int w, int h, bool zeroAlpha = false)
{
    auto bmp = std::make_unique<TluxBitmap>();
    bmp->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const TluxColor alpha = zeroAlpha && y % 2 ? 0u : 0xFF000000u;
            bmp->SetPixel(x, y, alpha | ((x * 5 & 0xFF) << 16) | ((y * 7 & 0xFF) << 8) | ((x ^ y) & 0xFF));
        }
    return bmp;
}

// The colours of a bitmap as a window shows them.
QImage pictureOf(const TluxBitmap& bmp)
{
    return QImage(reinterpret_cast<const uchar*>(bmp.Bits), bmp.Width, bmp.Height, QImage::Format_RGB32).copy();
}

QSet<QWidget*> topLevels()
{
    const QWidgetList list = QApplication::topLevelWidgets();
    return QSet<QWidget*>(list.begin(), list.end());
}

class ControlFreezing : public testing::Test {
protected:
    void SetUp() override
    {
        if (!haveScreen())
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        startControlFreezing();
        backdrop.reset(makeWindow(Qt::darkGray, at(0, 0, 420, 320)));
        ASSERT_TRUE(showAndWait(backdrop.get(), at(0, 0, 420, 320), Qt::darkGray));
    }
    void TearDown() override
    {
        stopControlFreezing();
    }

    // A form on the screen is covered by a pop-up only where transitions are
    // not drawn inside their windows (on X11 without a compositor).
    static bool formsTakePopups() { return TransitionSurfaceOfThisRun() == TransitionSurface::ScreenCopy; }

    std::unique_ptr<SolidWidget> backdrop;
};

TEST_F(ControlFreezing, UnfreezingAFormLeavesTheWindowsThatWereThere)
{
    if (!formsTakePopups())
        GTEST_SKIP() << "forms are covered from inside their windows on this desktop";
    std::unique_ptr<SolidWidget> form(makeWindow(Qt::red, at(60, 50, 160, 120)));
    ASSERT_TRUE(showAndWait(form.get(), at(60, 50, 160, 120), Qt::red));
    const auto picture = makePicture(160, 120);
    const QSet<QWidget*> before = topLevels();

    TCanvas* canvas = FreezeControlProc(form.get(), TRect(0, 0, 160, 120), picture.get());
    ASSERT_NE(canvas, nullptr);
    QPointer<TluxLockControl> lock = FrozenLock(form.get());
    ASSERT_TRUE(lock);
    EXPECT_TRUE(lock->isWindow());
    EXPECT_EQ(lock->geometry(), at(60, 50, 160, 120));
    EXPECT_TRUE(waitUntil([&] { return screenShows(at(60, 50, 160, 120), pictureOf(*picture)); }));

    // A second freeze changes nothing; one unfreeze removes the single lock.
    EXPECT_EQ(FreezeControlProc(form.get(), TRect(0, 0, 160, 120), picture.get()), nullptr);
    EXPECT_EQ(FrozenControlCount(), 1);
    EXPECT_EQ(topLevels().size(), before.size() + 1);

    UnFreezeControlProc(form.get(), false);
    EXPECT_FALSE(lock);
    EXPECT_EQ(FrozenControlCount(), 0);
    EXPECT_EQ(topLevels(), before);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(waitUntil([&] { return screenIs(at(60, 50, 160, 120), Qt::red); }));

    // Unfreezing again, or a control never frozen, does nothing.
    UnFreezeControlProc(form.get(), false);
    UnFreezeControlProc(backdrop.get(), true);
    EXPECT_EQ(topLevels(), before);
}

TEST_F(ControlFreezing, FrozenFormShowsThePictureAndTheCanvasUntilUnfrozen)
{
    if (!formsTakePopups())
        GTEST_SKIP() << "forms are covered from inside their windows on this desktop";
    std::unique_ptr<SolidWidget> form(makeWindow(Qt::red, at(60, 50, 160, 120)));
    ASSERT_TRUE(showAndWait(form.get(), at(60, 50, 160, 120), Qt::red));
    // Half the rows have alpha 0: a window shows colours, whatever the alpha byte.
    const auto picture = makePicture(160, 120, true);
    const QRect area = at(60, 50, 160, 120);

    TCanvas* canvas = FreezeControlProc(form.get(), TRect(0, 0, 160, 120), picture.get());
    ASSERT_NE(canvas, nullptr);
    ASSERT_TRUE(waitUntil([&] { return screenShows(area, pictureOf(*picture)); }));

    // The form repaints beneath; the screen does not change.
    const int paintsBefore = form->paints;
    form->setColor(Qt::blue);
    form->repaint();
    luxtest::processEventsFor(200);
    EXPECT_GT(form->paints, paintsBefore);
    EXPECT_TRUE(screenShows(area, pictureOf(*picture)));

    // What is drawn on the canvas is what the screen shows.
    canvas->Brush.Color = clLime;
    canvas->FillRect(TRect(10, 20, 50, 40));
    QImage expected = pictureOf(*picture);
    for (int y = 20; y < 40; ++y)
        for (int x = 10; x < 50; ++x)
            expected.setPixel(x, y, qRgb(0, 255, 0));
    EXPECT_TRUE(waitUntil([&] { return screenShows(area, expected); }));
    picture->Clear(0xFF000000);
    picture->Draw(canvas, 0, 0); // a frame drawn with the picture's own alpha (opaque black)
    EXPECT_TRUE(waitUntil([&] { return screenIs(area, Qt::black); }));

    UnFreezeControlProc(form.get(), false);
    EXPECT_TRUE(waitUntil([&] { return screenIs(area, Qt::blue); }));
}

TEST_F(ControlFreezing, NothingOfAFormShowsThroughWhileItAppearsBeneath)
{
    std::unique_ptr<SolidWidget> other(makeWindow(Qt::yellow, at(20, 20, 90, 90)));
    ASSERT_TRUE(showAndWait(other.get(), at(20, 20, 90, 90), Qt::yellow));
    // The form is about to appear where the screen shows parts of two windows.
    std::unique_ptr<SolidWidget> form(makeWindow(Qt::red, at(60, 50, 160, 120)));
    const QRect area = at(60, 50, 160, 120);
    const QImage before = screenAt(area);
    TluxBitmap copy;
    copy.Assign(before);

    ASSERT_NE(FreezeControlProc(form.get(), TRect(0, 0, 160, 120), &copy), nullptr);
    form->show();
    for (int i = 0; i < 15; ++i) {
        ASSERT_EQ(luxtest::differingPixels(screenAt(area), before), 0) << "sample " << i;
        luxtest::processEventsFor(20);
    }
    EXPECT_TRUE(form->isVisible());
    UnFreezeControlProc(form.get(), false);
    EXPECT_TRUE(waitUntil([&] { return screenIs(area, Qt::red); }));
}

TEST_F(ControlFreezing, MaskedFormIsCoveredByAPopupOfItsShape)
{
    if (!formsTakePopups())
        GTEST_SKIP() << "forms are covered from inside their windows on this desktop";
    std::unique_ptr<SolidWidget> form(makeWindow(Qt::red, at(50, 40, 300, 300)));
    QImage mask(200, 100, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int y = 20; y < 50; ++y)
        for (int x = 60; x < 100; ++x)
            mask.setPixel(x, y, qRgb(0, 0, 0));
    auto* component = new TluxAnimationForm(form.get());
    component->SetMask(mask);
    component->Loaded();
    const QRect area = at(50, 40, 200, 100);
    const QRect hole = at(110, 60, 40, 30);
    ASSERT_TRUE(showAndWait(form.get(), at(50, 40, 60, 100), Qt::red));
    ASSERT_TRUE(screenIs(hole, Qt::darkGray));

    const auto picture = makePicture(200, 100);
    // The client area, wherever a window manager's frame puts it.
    ASSERT_NE(FreezeControlProc(form.get(), GetRealClientRect(form.get()), picture.get()), nullptr);
    TluxLockControl* lock = FrozenLock(form.get());
    EXPECT_TRUE(((lock->mask() ^ form->mask())).isEmpty());

    QImage expected = pictureOf(*picture);
    for (int y = 20; y < 50; ++y)
        for (int x = 60; x < 100; ++x)
            expected.setPixel(x, y, QColor(Qt::darkGray).rgb());
    EXPECT_TRUE(waitUntil([&] { return screenShows(area, expected); }));

    // The backdrop changes: through the hole, the screen stays visible.
    backdrop->setColor(Qt::cyan);
    for (int y = 20; y < 50; ++y)
        for (int x = 60; x < 100; ++x)
            expected.setPixel(x, y, QColor(Qt::cyan).rgb());
    EXPECT_TRUE(waitUntil([&] { return screenShows(area, expected); }));
    UnFreezeControlProc(form.get(), false);
}

TEST_F(ControlFreezing, ChildIsCoveredOnlyOnTheGivenPart)
{
    std::unique_ptr<SolidWidget> parent(makeWindow(Qt::white, at(20, 20, 300, 200)));
    auto* sibling = new SolidWidget(Qt::green, parent.get());
    auto* child = new SolidWidget(Qt::red, parent.get());
    child->setGeometry(30, 20, 100, 60);
    sibling->setGeometry(35, 25, 100, 60); // overlaps the child, above it
    sibling->raise();
    ASSERT_TRUE(showAndWait(parent.get(), at(50, 40, 5, 60), Qt::red));

    const auto picture = makePicture(50, 30);
    ASSERT_NE(FreezeControlProc(child, TRect(10, 5, 60, 35), picture.get()), nullptr);
    TluxLockControl* lock = FrozenLock(child);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->parentWidget(), parent.get());
    EXPECT_EQ(lock->geometry(), QRect(40, 25, 50, 30));
    // Painted before the freeze returned, above the overlapping sibling; a
    // compositor shows it with its next picture.
    const QImage covered = pictureOf(*picture);
    EXPECT_TRUE(windowSystemHasTranslucency() ? waitUntil([&] { return screenShows(at(60, 45, 50, 30), covered); })
                                              : screenShows(at(60, 45, 50, 30), covered));
    EXPECT_EQ(parent->childAt(45, 30), lock);

    child->setColor(Qt::blue);
    child->repaint();
    EXPECT_TRUE(waitUntil([] { return screenIs(at(50, 40, 5, 60), Qt::blue); }));
    EXPECT_TRUE(screenShows(at(60, 45, 50, 30), pictureOf(*picture)));

    // Brought forward, the child paints above its sibling before the lock goes.
    UnFreezeControlProc(child, true);
    EXPECT_EQ(FrozenLock(child), nullptr);
    EXPECT_EQ(parent->childAt(45, 30), child);
    EXPECT_TRUE(waitUntil([] { return screenIs(at(50, 40, 100, 60), Qt::blue); }));
}

TEST_F(ControlFreezing, PopupTakesNeitherActivationNorFocus)
{
    if (!formsTakePopups())
        GTEST_SKIP() << "forms are covered from inside their windows on this desktop";
    auto form = std::make_unique<QWidget>();
    form->setGeometry(at(80, 60, 200, 100));
    auto* edit = new QLineEdit(form.get());
    form->show();
    form->activateWindow();
    edit->setFocus();
    if (!waitUntil([&] { return QApplication::focusWidget() == edit; }))
        GTEST_SKIP() << "this X server gives no window the focus";

    const auto picture = makePicture(200, 100);
    // The client area, wherever a window manager's frame puts it.
    ASSERT_NE(FreezeControlProc(form.get(), GetRealClientRect(form.get()), picture.get()), nullptr);
    TluxLockControl* lock = FrozenLock(form.get());
    ASSERT_TRUE(waitUntil([&] { return screenShows(at(80, 60, 200, 100), pictureOf(*picture)); }));
    luxtest::processEventsFor(100);
    EXPECT_EQ(QApplication::activeWindow(), form.get());
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_FALSE(lock->isActiveWindow());
    UnFreezeControlProc(form.get(), false);
}

TEST_F(ControlFreezing, HandlersRunningWhileAChildLockPaints)
{
    std::unique_ptr<SolidWidget> parent(makeWindow(Qt::white, at(20, 20, 300, 200)));
    auto* child = new SolidWidget(Qt::red, parent.get());
    child->setGeometry(30, 20, 100, 60);
    ASSERT_TRUE(showAndWait(parent.get(), at(50, 40, 100, 60), Qt::red));
    const auto picture = makePicture(100, 60);

    // A second freeze from a handler that runs meanwhile is refused.
    TCanvas* nested = reinterpret_cast<TCanvas*>(1);
    QTimer::singleShot(0, [&] { nested = FreezeControlProc(child, TRect(0, 0, 100, 60), picture.get()); });
    EXPECT_NE(FreezeControlProc(child, TRect(0, 0, 100, 60), picture.get()), nullptr);
    EXPECT_EQ(nested, nullptr);
    EXPECT_EQ(FrozenControlCount(), 1);
    UnFreezeControlProc(child, false);

    // A handler that unfreezes meanwhile leaves no lock and no canvas.
    QTimer::singleShot(0, [&] { UnFreezeControlProc(child, false); });
    EXPECT_EQ(FreezeControlProc(child, TRect(0, 0, 100, 60), picture.get()), nullptr);
    EXPECT_EQ(FrozenControlCount(), 0);
    EXPECT_TRUE(parent->findChildren<TluxLockControl*>().isEmpty());
}

TEST_F(ControlFreezing, LocksGoWithTheirControlsAndAtShutDown)
{
    const QSet<QWidget*> before = topLevels();
    std::unique_ptr<SolidWidget> parent(makeWindow(Qt::white, at(20, 20, 300, 200)));
    auto* child = new SolidWidget(Qt::red, parent.get());
    child->setGeometry(30, 20, 100, 60);
    std::unique_ptr<SolidWidget> form(makeWindow(Qt::red, at(200, 150, 100, 80)));
    parent->show();
    form->show();
    const auto picture = makePicture(100, 80);

    ASSERT_NE(FreezeControlProc(child, TRect(0, 0, 100, 60), picture.get()), nullptr);
    QPointer<TluxLockControl> childLock = FrozenLock(child);
    delete child;
    EXPECT_FALSE(childLock);
    EXPECT_EQ(FrozenControlCount(), 0);

    ASSERT_NE(FreezeControlProc(form.get(), TRect(0, 0, 100, 80), picture.get()), nullptr);
    QPointer<TluxLockControl> formLock = FrozenLock(form.get());
    form.reset();
    EXPECT_FALSE(formLock);
    EXPECT_EQ(FrozenControlCount(), 0);

    // Shut-down removes whatever is still frozen.
    form.reset(makeWindow(Qt::red, at(200, 150, 100, 80)));
    form->show();
    ASSERT_NE(FreezeControlProc(form.get(), TRect(0, 0, 100, 80), picture.get()), nullptr);
    ASSERT_NE(FreezeControlProc(parent.get(), TRect(0, 0, 100, 80), picture.get()), nullptr);
    EXPECT_EQ(FrozenControlCount(), 2);
    stopControlFreezing();
    EXPECT_EQ(FrozenControlCount(), 0);
    form.reset();
    parent.reset();
    EXPECT_EQ(topLevels(), before);
}

} // namespace
