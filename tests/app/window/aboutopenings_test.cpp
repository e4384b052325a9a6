// The About box opened and closed fifty times in a row as fast as a user
// clicks: closed with OK, Escape or the window manager's close button, before,
// during and after its show transition, and clicked again the moment it was
// closed. Every opening shows the box, every closing takes it off the screen,
// and nothing of a transition stays behind. Run bare, under a window manager
// and under a compositor (scripts/test runs all three).

#include "app/window/startup.h"
#include "effects/engine/animationengine.h"
#include "effects/forms/animationform.h"
#include "effects/forms/controlfreezer.h"
#include "effects/forms/lockwindow.h"
#include "effects/forms/luxanimation.h"
#include "effects/util/controlgeometry.h"
#include "tests/app/window/form1fixture.h"
#include "tests/support/testsupport.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <gtest/gtest.h>

// Last: Xlib's macros would clash with the headers above.
#include <X11/Xlib.h>

namespace {

enum class Way { OkButton, Escape, ManagerClose };
enum class Moment { BeforeItsTransition, DuringItsTransition, AfterItsTransition };

struct Closing {
    Way way;
    Moment moment;
    bool clickAgain; // About is clicked again right after the closing
};

bool windowManagerRuns(Display* d)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                       AnyPropertyType, &type, &format, &count, &after, &data);
    if (data)
        XFree(data);
    return count == 1;
}

// The window manager closes a window when asked through the root window, as
// its close button does; without a manager the window's close command does.
void closeAsTheManagerDoes(QWidget* window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* d = x11 ? x11->display() : nullptr;
    if (!d || !windowManagerRuns(d)) {
        window->close();
        return;
    }
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = ::Window(window->winId());
    request.xclient.message_type = XInternAtom(d, "_NET_CLOSE_WINDOW", False);
    request.xclient.format = 32;
    request.xclient.data.l[1] = 2; // asked by a pager: the manager obeys at once
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureNotifyMask | SubstructureRedirectMask, &request);
    XFlush(d);
}

QImage screenAt(const QRect& r)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage().convertToFormat(
        QImage::Format_RGB32);
}

bool screenShowsSoon(const QRect& r, const QImage& expected)
{
    return waitUntil([&] { return luxtest::differingPixels(screenAt(r), expected) == 0; }, 5000);
}

int lockPopups()
{
    int n = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        n += qobject_cast<TluxLockPopup*>(window) ? 1 : 0;
    return n;
}

// Counts the box's showings and closes it as a Closing says.
class Closer : public QObject {
public:
    Closer(QDialog& box, QPushButton& aboutButton, TluxAnimation& animation)
        : m_box(box), m_aboutButton(aboutButton), m_animation(animation)
    {
        box.installEventFilter(this); // after the form animation's hook: sees events first
        m_previousStart = animation.OnStart;
        m_previousFinish = animation.OnFinish;
        animation.OnStart = [this](QObject* sender) {
            if (m_previousStart)
                m_previousStart(sender);
            if (m_closing.moment == Moment::BeforeItsTransition)
                close();
            if (m_closing.moment == Moment::DuringItsTransition)
                m_closeOnFrame = true;
        };
        animation.OnFinish = [this](QObject* sender) {
            if (m_previousFinish)
                m_previousFinish(sender);
            if (!m_box.isVisible() || m_closing.moment != Moment::AfterItsTransition)
                return;
            QTimer::singleShot(0, &m_box, [this] {
                // The lock has gone: the screen shows the box itself.
                shownWhole = screenShowsSoon(m_box.geometry(), m_box.grab().toImage().convertToFormat(QImage::Format_RGB32));
                close();
            });
        };
        m_frames = QObject::connect(EngineTimer, &QTimer::timeout, &box, [this] {
            if (m_closeOnFrame && m_animation.State() == asExecuting) {
                m_closeOnFrame = false;
                close();
            }
        });
    }
    ~Closer() override
    {
        QObject::disconnect(m_frames);
        m_animation.OnStart = m_previousStart;
        m_animation.OnFinish = m_previousFinish;
    }

    void arm(const Closing& closing)
    {
        m_closing = closing;
        m_clickedAgain = false;
        m_closeOnFrame = false;
        shownWhole = true;
    }

    int shows = 0;
    bool shownWhole = true;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }

private:
    void close()
    {
        if (!m_box.isVisible())
            return;
        switch (m_closing.way) {
        case Way::OkButton: m_box.findChild<QPushButton*>(QStringLiteral("OKButton"))->click(); break;
        case Way::Escape: pressKey(&m_box, Qt::Key_Escape); break;
        case Way::ManagerClose: closeAsTheManagerDoes(&m_box); break;
        }
        if (m_closing.clickAgain && !m_clickedAgain) {
            m_clickedAgain = true;
            // The box may not be hidden yet (the manager closes it a moment
            // later): click once it is, still before the opening returns.
            waitUntil([this] { return !m_box.isVisible(); }, 5000);
            m_aboutButton.click();
        }
    }

    QDialog& m_box;
    QPushButton& m_aboutButton;
    TluxAnimation& m_animation;
    TluxAnimation::TNotifyEvent m_previousStart;
    TluxAnimation::TNotifyEvent m_previousFinish;
    QMetaObject::Connection m_frames;
    Closing m_closing{};
    bool m_clickedAgain = false;
    bool m_closeOnFrame = false;
};

} // namespace

TEST(AboutOpenings, FiftyFastOpeningsEachShowTheBoxAndEachClosingRemovesIt)
{
    // The manager's close button is a message the manager handles once it
    // manages the window, so it closes during or after the transition.
    const Closing closings[] = {
        {Way::OkButton, Moment::BeforeItsTransition, false},  {Way::Escape, Moment::BeforeItsTransition, false},
        {Way::OkButton, Moment::DuringItsTransition, false},  {Way::Escape, Moment::DuringItsTransition, false},
        {Way::ManagerClose, Moment::DuringItsTransition, false}, {Way::OkButton, Moment::AfterItsTransition, false},
        {Way::Escape, Moment::AfterItsTransition, false},     {Way::ManagerClose, Moment::AfterItsTransition, false},
        {Way::Escape, Moment::DuringItsTransition, true},     {Way::OkButton, Moment::BeforeItsTransition, true},
    };
    Form1Fixture fixture;
    const ToolWindows windows = CreateToolWindows(fixture.setup());
    TForm1& form = *windows.Form1;
    QDialog& box = *windows.AboutBox;
    auto* about = form.findChild<QPushButton*>(QStringLiteral("BitBtn2"));
    auto* animation = box.findChild<TluxAnimation*>(QStringLiteral("luxAnimation1"));
    ASSERT_TRUE(about && animation);
    form.show();
    ASSERT_TRUE(waitUntil([&] { return form.isVisible() && form.windowHandle()->isExposed(); }));
    luxtest::processEventsFor(300);
    // What the box's place shows while the box is closed, its frame included.
    const QRect place = GetRealBoundsRect(&box).toQRect();
    const QImage closed = screenAt(place);

    Closer closer(box, *about, *animation);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &box, &QDialog::reject);
    int expectedShows = 0;
    for (int opening = 0; opening < 50; ++opening) {
        const Closing& closing = closings[opening % std::size(closings)];
        closer.arm(closing);
        watchdog.start(30000);
        about->click(); // returns once every opening it caused has returned
        expectedShows += closing.clickAgain ? 2 : 1;
        ASSERT_EQ(closer.shows, expectedShows) << "opening " << opening << ": a click opened nothing";
        EXPECT_TRUE(closer.shownWhole) << "opening " << opening << ": the box never showed whole";
        EXPECT_FALSE(box.isVisible()) << "opening " << opening;
        EXPECT_EQ(FrozenControlCount(), 0) << "opening " << opening;
        EXPECT_EQ(lockPopups(), 0) << "opening " << opening << ": a lock pop-up stayed";
        EXPECT_EQ(animation->SourceImage(), nullptr) << "opening " << opening << ": a picture stayed";
        EXPECT_EQ(animation->DestImage(), nullptr) << "opening " << opening << ": a picture stayed";
        EXPECT_TRUE(screenShowsSoon(place, closed)) << "opening " << opening << ": the box's place still differs";
    }
}
