// The lock pop-up of a framed form lies exactly over the form's own area on the
// screen when its transition starts, also where the window manager cannot say
// before mapping what frame it gives (weston's X window manager): the pop-up then
// follows the form to where it was mapped.

#include "tests/effects/forms/animationfixture.h"
#include "effects/forms/animationform.h"
#include "effects/forms/componentstream.h"
#include "effects/forms/lockwindow.h"
#include "effects/util/transitionsurface.h"
#include "effects/util/windowframe.h"

#include <gtest/gtest.h>

using namespace animationtest;
using namespace freezetest;

TEST(PopupPlace, ThePopUpLiesOverTheFormsOwnAreaWhenItsTransitionStarts)
{
    if (!haveScreen())
        GTEST_SKIP() << "needs an X display";
    startTransitions();
    if (TransitionSurfaceOfThisRun() != TransitionSurface::ScreenCopy)
        GTEST_SKIP() << "transitions are drawn inside their windows here";
    SolidWidget form(QColor(230, 200, 30)); // an ordinary window: the manager frames it
    form.setGeometry(QRect(300, 200, 220, 140));
    ASSERT_TRUE(ReadComponentStream(fadeFormStream(300), &form).ok);
    TluxAnimation* animation = FindAnimationForm(&form)->GetShowAnimation();
    QRect popup;
    std::optional<QPoint> origin;
    int shows = 0;
    animation->OnStart = [&](QObject*) {
        if (auto* lock = qobject_cast<TluxLockPopup*>(FrozenLock(&form)))
            popup = lock->geometry();
        origin = ClientOriginOnScreen(&form); // asked of the X server
    };
    animation->OnFinish = [&](QObject*) { ++shows; };
    form.show();
    ASSERT_TRUE(waitUntil([&] { return shows == 1; }, 30000));
    ASSERT_TRUE(origin.has_value());
    EXPECT_EQ(popup, QRect(*origin, form.size()));
}
