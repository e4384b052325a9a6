// The form components say what goes wrong: an unknown effect, a component on a
// child widget, use from another thread; and a component made in code loads
// itself.

#include "tests/effects/forms/animationfixture.h"
#include "effects/forms/animationform.h"
#include "effects/bitmap/luxbitmap.h"
#include "platform/canvas.h"
#include "tests/support/warninglog.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace animationtest;

namespace {

std::unique_ptr<TluxBitmap> picture(TluxColor colour)
{
    auto bmp = std::make_unique<TluxBitmap>();
    bmp->SetSize(9, 7);
    bmp->Clear(colour);
    return bmp;
}

TEST(ComponentWarnings, AnUnknownEffectIsNamedOnceAndAnotherThreadDoesNothing)
{
    startTransitions();
    auto target = picture(0xFF000000);
    TCanvas canvas(target->DC);
    TluxAnimation animation;
    animation.Effect = QStringLiteral("NoSuchEffect");
    int finished = 0;
    animation.OnFinish = [&](QObject*) { ++finished; };
    luxtest::WarningLog log;
    for (int i = 0; i < 2; ++i) {
        animation.SetSourceImage(picture(0xFF102030));
        animation.SetDestImage(picture(0xFF405060));
        animation.ExecuteImage(&canvas, 0, 0);
    }
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(log.count("\"NoSuchEffect\""), 1) << log.warnings().join('|').toStdString();

    // From a std::thread: no timer can tick there, so nothing starts (and nothing waits).
    animation.Effect = fadeEffect;
    bool executed = true;
    std::thread([&] {
        animation.ExecuteImage(&canvas, 0, 0);
        executed = ExecuteAnimation(&canvas, 0, 0, animation.SourceImage(), animation.DestImage(), &animation);
    }).join();
    EXPECT_FALSE(executed);
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(log.count("other than the GUI thread"), 2);
}

// A component made in code loads itself when the event loop first runs, or
// when its form is shown before that; a second Loaded() keeps one hook.
TEST(ComponentWarnings, AComponentMadeInCodeLoadsItself)
{
    startTransitions();
    for (const bool showFirst : {false, true}) {
        QWidget form;
        form.setAttribute(Qt::WA_DontShowOnScreen);
        auto* component = new TluxAnimationForm(&form);
        EXPECT_FALSE(component->IsHooked());
        if (showFirst)
            form.show();
        else
            QCoreApplication::processEvents();
        EXPECT_TRUE(component->IsHooked()) << showFirst;
        component->Loaded();
        EXPECT_TRUE(component->IsHooked()) << showFirst;
    }
}

TEST(ComponentWarnings, AComponentOnAChildWidgetWarns)
{
    startTransitions();
    QWidget form;
    QWidget child(&form);
    child.setObjectName("panel");
    luxtest::WarningLog log;
    auto* component = new TluxAnimationForm(&child);
    QCoreApplication::processEvents();
    EXPECT_FALSE(component->IsHooked());
    EXPECT_EQ(log.count("\"panel\" is not a window"), 1) << log.warnings().join('|').toStdString();
}

// A form that deletes itself on close plays its hide transition first, then goes.
TEST(ComponentWarnings, AFormDeletedOnCloseGoesAfterItsHideTransition)
{
    if (!freezetest::haveScreen())
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    startTransitions();
    auto* form = freezetest::makeWindow(Qt::yellow, QRect(700, 80, 160, 120));
    form->setAttribute(Qt::WA_DeleteOnClose);
    auto* component = new TluxAnimationForm(form);
    auto* hide = new TluxAnimation(form);
    hide->Effect = fadeEffect;
    hide->SetTime(200);
    int played = 0;
    hide->OnFinish = [&](QObject*) { ++played; };
    component->SetHideAnimation(hide);
    component->Loaded();
    ASSERT_TRUE(freezetest::showAndWait(form, QRect(700, 80, 160, 120), Qt::yellow));
    QPointer<QWidget> alive = form;
    form->close();
    EXPECT_TRUE(alive) << "still there while its transition plays";
    EXPECT_TRUE(freezetest::waitUntil([&] { return alive.isNull(); }, 8000));
    EXPECT_EQ(played, 1);
}

} // namespace
