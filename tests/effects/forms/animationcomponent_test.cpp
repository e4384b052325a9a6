// The animation component on real controls and pictures, and the animation list.

#include "tests/effects/forms/animationfixture.h"
#include "effects/forms/animationlist.h"
#include "effects/bitmap/luxbitmap.h"

#include <QFrame>
#include <QPointer>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace animationtest;
using namespace freezetest;

namespace {

// The windows of these tests lie in their own part of the 1280 x 1024 test screen.
QRect at(int x, int y, int w, int h)
{
    return QRect(x + 40, y + 40, w, h);
}

std::unique_ptr<TluxBitmap> solidBitmap(int w, int h, TluxColor colour)
{
    auto bmp = std::make_unique<TluxBitmap>();
    bmp->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp->SetPixel(x, y, colour);
    return bmp;
}

TEST(AnimationList, HoldsItsAnimationsInOrderAndDestroysThem)
{
    auto list = std::make_unique<TluxAnimationList>();
    TluxAnimationList other;
    QPointer<TluxAnimation> a = new TluxAnimation;
    QPointer<TluxAnimation> b = new TluxAnimation;
    QPointer<TluxAnimation> c = new TluxAnimation;
    list->Insert(a);
    list->Insert(b);
    list->Insert(b); // already there: stays once
    c->SetParentComponent(list.get());
    ASSERT_EQ(list->GetCount(), 3);
    EXPECT_EQ(list->GetItem(0), a);
    EXPECT_EQ(list->GetItem(2), c);
    EXPECT_EQ(c->GetParentComponent(), list.get());
    EXPECT_THROW(list->GetItem(3), std::out_of_range);
    EXPECT_THROW(list->GetItem(-1), std::out_of_range);

    b->SetParentComponent(&other); // moves
    EXPECT_EQ(list->GetCount(), 2);
    EXPECT_EQ(other.GetItem(0), b);
    other.Remove(b);
    EXPECT_EQ(b->ParentList(), nullptr);
    delete b;
    delete a; // leaves its list
    EXPECT_EQ(list->GetCount(), 1);

    list->SetVersion(QStringLiteral("4.00"));
    EXPECT_EQ(list->GetVersion(), QLatin1String("3.02"));
    list.reset();
    EXPECT_TRUE(c.isNull());
}

TEST(Animation, PlaysBetweenTwoPicturesAndEndsOnTheSecond)
{
    startTransitions();
    TluxAnimation animation;
    animation.Effect = fadeEffect;
    animation.SetTime(200);
    QStringList events;
    animation.OnStart = [&](QObject* sender) {
        EXPECT_EQ(sender, &animation);
        events << QStringLiteral("start");
    };
    animation.OnFinish = [&](QObject*) { events << QStringLiteral("finish"); };
    animation.OnNameChange = [&](QObject*) { events << QStringLiteral("name"); };

    auto target = solidBitmap(31, 17, 0xFF000000);
    TCanvas canvas(target->DC);
    animation.ExecuteImage(&canvas, 0, 0); // no pictures: nothing, no events
    EXPECT_TRUE(events.isEmpty());

    animation.SetSourceImage(solidBitmap(31, 17, 0x00102030)); // made opaque
    EXPECT_EQ(animation.SourceImage()->GetPixel(3, 3), 0xFF102030u);
    animation.SetDestImage(solidBitmap(31, 17, 0xFFE0C0A0));
    animation.ExecuteImage(&canvas, 0, 0);
    EXPECT_EQ(events, (QStringList{"start", "finish"}));
    EXPECT_EQ(animation.State(), asNormal);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 31; ++x)
            ASSERT_EQ(target->GetPixel(x, y) & 0xFFFFFF, 0xE0C0A0u) << x << "," << y;

    // An unknown effect plays nothing: the final picture is drawn at once.
    animation.Effect = QStringLiteral("no such effect");
    animation.SetDestImage(solidBitmap(31, 17, 0xFF00FF00));
    animation.ExecuteImage(&canvas, 0, 0);
    EXPECT_EQ(events.size(), 4);
    EXPECT_EQ(target->GetPixel(30, 16) & 0xFFFFFF, 0x00FF00u);

    animation.SetName(QStringLiteral("luxAnimation7"));
    EXPECT_EQ(events.last(), QLatin1String("name"));
}

class AnimationOnControls : public testing::Test {
protected:
    void SetUp() override
    {
        if (!haveScreen())
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        startTransitions();
        window.reset(makeWindow(Qt::darkGray, at(0, 0, 320, 240)));
        child = new SolidWidget(QColor(200, 40, 40), window.get());
        child->setGeometry(40, 30, 150, 100);
        ASSERT_TRUE(showAndWait(window.get(), childOnScreen(), QColor(200, 40, 40)));
        animation.Effect = fadeEffect;
        animation.SetTime(1200);
        animation.OnStart = [this](QObject*) { stateAtStart = animation.State(); ++starts; };
        animation.OnFinish = [this](QObject*) { ++finishes; };
    }
    QRect childOnScreen() const { return at(40, 30, 150, 100); }

    std::unique_ptr<QWidget> window;
    SolidWidget* child = nullptr;
    TluxAnimation animation;
    int starts = 0;
    int finishes = 0;
    TluxAnimationState stateAtStart = asExecuting;
};

TEST_F(AnimationOnControls, FreezeChangeExecuteRestore)
{
    animation.Execute(); // never frozen: nothing
    animation.Restore();
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(FrozenControlCount(), 0);

    const QSet<QWidget*> before = topLevels();
    animation.FreezeControl(child, Rect(0, 0, 150, 100));
    ASSERT_TRUE(animation.IsControlFrozen(nullptr));
    EXPECT_TRUE(animation.IsControlFrozen(window.get())) << "the argument is not consulted";
    animation.FreezeControl(window.get(), Rect(0, 0, 10, 10)); // already frozen: nothing changes
    EXPECT_EQ(animation.FrozenControl(), child);
    EXPECT_EQ(FrozenControlCount(), 1);

    child->setColor(QColor(30, 180, 60));
    luxtest::processEventsFor(100);
    EXPECT_TRUE(screenIs(childOnScreen(), QColor(200, 40, 40))) << "the lock hides the change";

    FrameRecorder recorder(&animation, childOnScreen());
    animation.Execute();
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(stateAtStart, asNormal);
    EXPECT_EQ(animation.State(), asNormal);
    const QImage from = [&] { QImage i(150, 100, QImage::Format_RGB32); i.fill(QColor(200, 40, 40)); return i; }();
    const QImage to = [&] { QImage i(150, 100, QImage::Format_RGB32); i.fill(QColor(30, 180, 60)); return i; }();
    const QImage middle = recorder.intermediate(from, to);
    ASSERT_FALSE(middle.isNull()) << recorder.frames.size() << " frames recorded, none between the pictures";
    EXPECT_TRUE(between(middle, from, to));
    EXPECT_TRUE(waitUntil([&] { return screenIs(childOnScreen(), QColor(30, 180, 60)); }));

    // Played again on the same freeze, the newly grabbed picture replaces the last one.
    child->setColor(QColor(250, 250, 250));
    animation.SetTime(50);
    animation.Execute();
    EXPECT_EQ(finishes, 2);
    EXPECT_TRUE(waitUntil([&] { return screenIs(childOnScreen(), QColor(250, 250, 250)); }));

    animation.Restore();
    EXPECT_FALSE(animation.IsControlFrozen(nullptr));
    EXPECT_EQ(animation.SourceImage(), nullptr);
    EXPECT_EQ(animation.DestImage(), nullptr);
    EXPECT_EQ(FrozenControlCount(), 0);
    animation.Restore();
    EXPECT_EQ(topLevels(), before);
    EXPECT_TRUE(waitUntil([&] { return screenIs(childOnScreen(), QColor(250, 250, 250)); }));
}

TEST_F(AnimationOnControls, RestoreAskedDuringTheTransitionWaitsForItsEnd)
{
    animation.FreezeControl(child, Rect(0, 0, 150, 100));
    child->setColor(QColor(30, 180, 60));
    bool asked = false;
    QTimer::singleShot(100, [&] {
        asked = animation.State() == asExecuting;
        animation.Restore();
    });
    animation.Execute();
    EXPECT_TRUE(asked);
    EXPECT_EQ(finishes, 1);
    EXPECT_FALSE(animation.IsControlFrozen(nullptr));
    EXPECT_EQ(FrozenControlCount(), 0);
}

TEST_F(AnimationOnControls, AnAnimationDestroyedDuringItsTransitionStopsIt)
{
    auto* doomed = new TluxAnimation;
    doomed->Effect = fadeEffect;
    doomed->SetTime(2000);
    doomed->FreezeControl(child, Rect(0, 0, 150, 100));
    child->setColor(QColor(30, 180, 60));
    QTimer::singleShot(100, [&] { delete doomed; });
    doomed->Execute();
    EXPECT_EQ(FrozenControlCount(), 0);
    for (int i = 0; i < luxAnimationSlots; ++i)
        EXPECT_FALSE(IsAnimating(i)) << i;
    EXPECT_TRUE(waitUntil([&] { return screenIs(childOnScreen(), QColor(30, 180, 60)); }));
}

TEST_F(AnimationOnControls, ClientRectanglesAreMovedByTheClientOrigin)
{
    auto* frame = new QFrame(window.get());
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(3);
    frame->setGeometry(200, 30, 100, 80);
    frame->show();
    luxtest::processEventsFor(50);
    animation.FreezeControlClient(frame, Rect(10, 5, 500, 500));
    ASSERT_TRUE(animation.IsControlFrozen(nullptr));
    const TRect r = animation.FrozenRect();
    EXPECT_EQ(r.Left, 13);
    EXPECT_EQ(r.Top, 8);
    EXPECT_EQ(r.Right, 97) << "clipped to the client area";
    EXPECT_EQ(r.Bottom, 77);
    animation.Restore();
}

} // namespace
