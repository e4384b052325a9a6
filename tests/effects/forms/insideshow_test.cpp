// A show transition drawn inside the form's own translucent window, where the
// screen cannot be copied (Wayland, Xwayland; LUX_TRANSITION_SURFACE=window
// elsewhere): no pop-up and no copy; the desktop shows through what the effect
// has not revealed yet, and the form ends fully drawn. A hide goes the other
// way, inside the form while it is still on the screen, and the form ends hidden.

#include "tests/effects/forms/animationfixture.h"
#include "effects/forms/animationform.h"
#include "effects/forms/componentstream.h"
#include "effects/forms/lockwindow.h"
#include "effects/util/transitionsurface.h"

#include <gtest/gtest.h>

#include <QPointer>

#include <functional>
#include <memory>

using namespace animationtest;
using namespace freezetest;

// A desktop whose transitions are drawn inside their windows, and where the
// screen reads back, a backdrop of its own colour behind the form's place.
class InsideShow : public testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            GTEST_SKIP() << "needs a desktop";
        startTransitions();
        if (TransitionSurfaceOfThisRun() != TransitionSurface::InWindow)
            GTEST_SKIP() << "this desktop copies the screen";
        if (screenReads) {
            backdrop.reset(makeWindow(behindColour, formRect.adjusted(-40, -40, 40, 40)));
            ASSERT_TRUE(showAndWait(backdrop.get(), formRect, behindColour));
        }
    }

    // The screen at the form's place showed a frame between the two colours
    // while the transition played, and ends on the second.
    void expectPassedBetween(const FrameRecorder& recorder, QColor fromColour, QColor toColour)
    {
        QImage from(formRect.size(), QImage::Format_RGB32), to(formRect.size(), QImage::Format_RGB32);
        from.fill(fromColour);
        to.fill(toColour);
        const QImage middle = recorder.intermediate(from, to);
        ASSERT_FALSE(middle.isNull()) << recorder.frames.size() << " frames recorded, none between the pictures";
        EXPECT_TRUE(between(middle, from, to));
        EXPECT_TRUE(waitUntil([&] { return screenIs(formRect, toColour); }));
    }

    // The screen reads back where an X server has root contents (Xvfb with a
    // compositor), not on weston.
    const bool screenReads = qEnvironmentVariable("LUX_DESKTOP").startsWith(QLatin1String("openbox"));
    const QColor behindColour{40, 90, 200}, formColour{230, 200, 30};
    const QRect formRect{110, 130, 200, 130};
    std::unique_ptr<QWidget> backdrop;
};

TEST_F(InsideShow, TheFormComesInOverTheLiveDesktopWithoutAPopup)
{
    std::unique_ptr<QWidget> form(makeWindow(formColour, formRect));
    ASSERT_TRUE(ReadComponentStream(fadeFormStream(1500), form.get()).ok);
    TluxAnimation* animation = FindAnimationForm(form.get())->GetShowAnimation();
    EXPECT_TRUE(form->testAttribute(Qt::WA_TranslucentBackground));

    const QSet<QWidget*> before = topLevels();
    bool startedInside = false, behindShowed = !screenReads;
    int shows = 0;
    animation->OnStart = [&](QObject*) {
        auto* lock = qobject_cast<TluxLockInside*>(FrozenLock(form.get()));
        startedInside = lock && lock->parentWidget() == form.get() && lock->isVisible();
        if (screenReads) {
            luxtest::processEventsFor(100);
            behindShowed = screenIs(formRect, behindColour);
        }
    };
    animation->OnFinish = [&](QObject*) { ++shows; };
    std::unique_ptr<FrameRecorder> recorder;
    if (screenReads)
        recorder = std::make_unique<FrameRecorder>(animation, formRect);

    form->show();
    ASSERT_TRUE(waitUntil([&] { return shows == 1; }, 30000));
    EXPECT_TRUE(startedInside) << "drawn on a lock inside the form";
    EXPECT_TRUE(behindShowed) << "the desktop showed through the form before the transition";
    EXPECT_EQ(topLevels(), before) << "no pop-up";
    EXPECT_EQ(FrozenControlCount(), 0);
    if (screenReads)
        expectPassedBetween(*recorder, behindColour, formColour);
}

namespace {

// Counts the paints of the widget it watches.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

TEST_F(InsideShow, TheFormGoesOverTheLiveDesktopThenHides)
{
    struct Case {
        const char* how;
        std::function<void(QWidget*, TluxAnimationForm*)> hide;
    };
    const Case cases[] = {
        {"closed", [](QWidget* form, TluxAnimationForm*) { form->close(); }},
        {"hidden through the transition", [](QWidget*, TluxAnimationForm* c) { c->hideThroughTransition(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        std::unique_ptr<QWidget> form(makeWindow(formColour, formRect));
        ASSERT_TRUE(ReadComponentStream(fadeFormStream(100), form.get()).ok);
        TluxAnimationForm* component = FindAnimationForm(form.get());
        TluxAnimation hide;
        hide.Effect = fadeEffect;
        hide.SetTime(1500);
        component->SetHideAnimation(&hide);
        int shown = 0, hidden = 0;
        QObject::connect(component, &TluxAnimationForm::transitionEnded, [&](bool showing) { ++(showing ? shown : hidden); });
        form->show();
        ASSERT_TRUE(waitUntil([&] { return shown == 1; }, 30000));
        if (screenReads) {
            ASSERT_TRUE(waitUntil([&] { return screenIs(formRect, formColour); }));
        }

        const QSet<QWidget*> before = topLevels();
        PaintCounter counter;
        bool startedInside = false;
        QPointer<QWidget> lock;
        hide.OnStart = [&](QObject*) {
            lock = qobject_cast<TluxLockInside*>(FrozenLock(form.get()));
            startedInside = lock && lock->parentWidget() == form.get() && form->isVisible();
            if (lock)
                lock->installEventFilter(&counter);
        };
        std::unique_ptr<FrameRecorder> recorder;
        if (screenReads)
            recorder = std::make_unique<FrameRecorder>(&hide, formRect);
        c.hide(form.get(), component);
        ASSERT_TRUE(waitUntil([&] { return hidden == 1; }, 30000));
        EXPECT_TRUE(startedInside) << "drawn on a lock inside the still visible form";
        EXPECT_GE(counter.paints, 3) << "frames were drawn";
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(lock.isNull()) << "the lock went with the transition";
        EXPECT_EQ(topLevels(), before) << "no pop-up";
        EXPECT_EQ(FrozenControlCount(), 0);
        if (screenReads)
            expectPassedBetween(*recorder, formColour, behindColour);
        hide.OnStart = nullptr;
    }
}
