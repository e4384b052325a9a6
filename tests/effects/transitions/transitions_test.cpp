// The one-call interface as a program outside the tree uses it: only
// <lux/transitions.h>, with classic names of its own beside it.

#include <lux/transitions.h>

#include "tests/support/warninglog.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

// A program's own classic names: the header must bring none of its own.
struct TRect {
    int left = 0;
};
struct HDC {
    int handle = 0;
};
const int clBlack = 0x123456;
bool IntersectRect(const TRect&, const TRect&)
{
    return false;
}
void BitBlt(HDC) {}

namespace {

using namespace std::chrono_literals;

bool waitFor(const std::function<bool()>& pred, int ms = 8000)
{
    QDeadlineTimer deadline(ms);
    while (!pred() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return pred();
}

TEST(Transitions, NamesTheEffectsBare)
{
    const QStringList names = lux::effectNames();
    EXPECT_EQ(names.size(), 58);
    EXPECT_TRUE(names.contains("CircleFadeOut"));
    EXPECT_TRUE(names.contains("SlideDown"));
    for (const QString& name : names)
        EXPECT_FALSE(name.contains('[')) << name.toStdString();
}

TEST(Transitions, EveryMisuseReturnsFalseWithAWarningThatNamesIt)
{
    QDialog shown;
    shown.setObjectName("shown");
    shown.setAttribute(Qt::WA_DontShowOnScreen);
    shown.show();
    QDialog hidden;
    QWidget child(&hidden);
    struct Case {
        const char* what;
        std::function<bool()> call;
        QString warning;
    };
    const Case cases[] = {
        {"unknown effect", [&] { return lux::animateShow(&hidden, "NoSuchEffect", 300ms); }, "\"NoSuchEffect\""},
        {"child widget", [&] { return lux::animateShow(&child, "Fade", 300ms); }, "is not a window"},
        {"null window", [&] { return lux::animateHide(nullptr, "Fade", 300ms); }, "no window"},
        {"shown twice", [&] { return lux::animateShow(&shown, "Fade", 300ms); }, "already visible"},
        {"hidden twice", [&] { return lux::animateHide(&hidden, "Fade", 300ms); }, "already hidden"},
        {"another thread", [&] {
             bool result = true;
             std::thread([&] { result = lux::animateShow(&hidden, "Fade", 300ms); }).join();
             return result;
         }, "other than the GUI thread"},
    };
    for (const Case& c : cases) {
        luxtest::WarningLog log;
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_EQ(log.count(c.warning), 1) << c.what << ": " << log.warnings().join('|').toStdString();
    }
    EXPECT_FALSE(hidden.isVisible());
    EXPECT_TRUE(lux::animateShow(&hidden, "[ FADE ] - circlefadeout", 300ms)) << "full name, any case";
}

// Shown and hidden with one call each, on a real window; a window that deletes
// itself on close goes once its hide transition has played.
TEST(Transitions, ShowsAndHidesAWindowWithOneCallEach)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    auto* dialog = new QDialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->resize(240, 160); // placed by the library, where the window manager keeps it
    QPointer<QDialog> alive = dialog;
    lux::Transition* transition = lux::Transition::of(dialog);
    ASSERT_TRUE(transition);
    int started = 0, finished = 0;
    QObject::connect(transition, &lux::Transition::started, [&] { ++started; });
    QObject::connect(transition, &lux::Transition::finished, [&] { ++finished; });

    ASSERT_TRUE(lux::animateShow(dialog, "CircleFadeOut", 300ms));
    EXPECT_TRUE(transition->isRunning());
    ASSERT_TRUE(waitFor([&] { return finished == 1; }));
    EXPECT_EQ(started, 1);
    EXPECT_TRUE(dialog->isVisible());

    ASSERT_TRUE(lux::animateHide(dialog, "SlideDown", 300ms));
    ASSERT_TRUE(waitFor([&] { return finished == 2; }));
    EXPECT_EQ(started, 2);
    EXPECT_TRUE(waitFor([&] { return alive.isNull(); })) << "deleted after its hide transition";
}

} // namespace
