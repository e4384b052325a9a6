// The splash window and the About box on real windows: their layout and
// texts, their components and the transitions those play when the windows
// are shown, the splash closing itself after its two seconds, the About box's
// link, default button and results.

#include "app/splash/aboutbox.h"
#include "effects/engine/animationengine.h"
#include "effects/forms/animationform.h"
#include "effects/forms/animationlist.h"
#include "effects/engine/animationslot.h"
#include "effects/forms/controlfreezer.h"
#include "effects/engine/effectregistry.h"
#include "app/splash/form3.h"
#include "app/splash/windowplacement.h"
#include "effects/forms/luxanimation.h"
#include "effects/forms/luxstartup.h"
#include "effects/masks/randomgen.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QSet>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

template <typename T>
T* child(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void click(QWidget* widget, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

bool waitUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        luxtest::processEventsFor(20);
    }
    return true;
}

QPoint screenCentre()
{
    return QGuiApplication::primaryScreen()->geometry().center();
}

// The windows read their component streams with the classes the effects
// register at start-up, as the program does before its first window.
class SplashWindows : public testing::Test {
protected:
    void SetUp() override { luxStartup(); }
};
using SplashWindow = SplashWindows;
using AboutBox = SplashWindows;

QImage screenAt(const QRect& r)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage().convertToFormat(
        QImage::Format_RGB32);
}

// What the screen shows at r once it shows `expected`: another test's window
// may pass over it for a moment, so look a few times.
qint64 screenDifference(const QRect& r, const QImage& expected)
{
    qint64 differing = 0;
    for (int attempt = 0; attempt < 10; ++attempt) {
        differing = luxtest::differingPixels(screenAt(r), expected.convertToFormat(QImage::Format_RGB32));
        if (differing == 0)
            break;
        luxtest::processEventsFor(100);
    }
    return differing;
}

// The effect of each transition, in order: started() opens an entry when a
// transition starts, the engine's next tick fills it from the active slot.
class EffectRecorder {
public:
    EffectRecorder()
    {
        m_tick = QObject::connect(EngineTimer, &QTimer::timeout, [this] {
            if (effects.isEmpty() || !effects.last().isEmpty())
                return;
            for (int i = 0; i < luxAnimationSlots; ++i)
                if (animationSlot(i).active && animationSlot(i).effect) {
                    effects.last() = animationSlot(i).effect->Name;
                    break;
                }
        });
    }
    ~EffectRecorder() { QObject::disconnect(m_tick); }
    void started() { effects << QString(); }
    // Records each start of `animation`, after the window's own start handler.
    void watch(TluxAnimation* animation)
    {
        const TluxAnimation::TNotifyEvent windowStart = animation->OnStart;
        animation->OnStart = [this, windowStart](QObject* sender) {
            if (windowStart)
                windowStart(sender);
            started();
        };
    }

    QStringList effects;

private:
    QMetaObject::Connection m_tick;
};

// Checks the stream's components of a window: one list with the random
// animation, one form animation that plays it and has hooked the window.
void expectTransitionComponents(QWidget* window)
{
    auto* list = window->findChild<TluxAnimationList*>(QStringLiteral("luxAnimationList1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetVersion(), "3.02");
    ASSERT_EQ(list->GetCount(), 1);
    TluxAnimation* animation = list->GetItem(0);
    EXPECT_EQ(animation->objectName(), "luxAnimation1");
    EXPECT_EQ(animation->Effect, luxRandomEffectName);

    auto* form = window->findChild<TluxAnimationForm*>(QStringLiteral("luxAnimationForm1"));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(FindAnimationForm(window), form);
    EXPECT_EQ(form->GetMaskColor(), clBlack);
    EXPECT_EQ(form->GetMaskMode(), mmExclude);
    EXPECT_EQ(form->GetShowAnimation(), animation);
    EXPECT_EQ(form->GetVersion(), "3.02");
    EXPECT_TRUE(form->IsHooked());
    EXPECT_FALSE(form->MaskRegion().has_value()) << "no mask: the window stays rectangular";
}

} // namespace

TEST_F(SplashWindow, BorderlessPictureCentredWithItsTimer)
{
    QWidget owner;
    ShowSplash(&owner);
    ASSERT_NE(Form3, nullptr);
    TForm3* splash = Form3;
    EXPECT_EQ(splash->parent(), &owner);
    EXPECT_TRUE(splash->isWindow());
    EXPECT_TRUE(splash->isVisible()) << "shown without waiting";
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash->windowTitle(), "Form3");
    EXPECT_EQ(splash->size(), QSize(241, 153));
    EXPECT_LE((splash->geometry().center() - StartupScreen()->geometry().center()).manhattanLength(), 2);

    auto* image = child<QLabel>(splash, "Image1");
    EXPECT_EQ(image->geometry(), QRect(0, 0, 241, 153));
    EXPECT_EQ(image->pixmap().size(), QSize(242, 154));

    expectTransitionComponents(splash);

    EXPECT_EQ(splash->Timer1->interval(), 2000);
    EXPECT_EQ(splash->Timer1->timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(splash->Timer1->isActive()) << "enabled at creation";

    // The timer's handler stops the timer and closes the window, which stays
    // alive until its owner goes.
    splash->Timer1Timer();
    EXPECT_FALSE(splash->Timer1->isActive());
    EXPECT_FALSE(splash->isVisible());
    EXPECT_EQ(Form3, splash);
}

TEST_F(SplashWindow, DestroyedWithItsOwner)
{
    auto owner = std::make_unique<QWidget>();
    ShowSplash(owner.get());
    ASSERT_NE(Form3, nullptr);
    owner.reset();
    EXPECT_EQ(Form3, nullptr);
}

TEST_F(SplashWindow, GoneTwoSecondsAfterItWasShownWithoutBeingTouched)
{
    QWidget owner;
    QElapsedTimer clock;
    clock.start();
    ShowSplash(&owner);
    QPointer<TForm3> splash = Form3;
    // Up while its two seconds run, however slowly this machine gets there...
    while (clock.elapsed() < 1500) {
        ASSERT_TRUE(splash && splash->isVisible()) << "closed after " << clock.elapsed() << " ms";
        luxtest::processEventsFor(50);
    }
    // ...and closed by its own timer, never before the two seconds.
    while (splash->isVisible() && clock.elapsed() < 60000)
        luxtest::processEventsFor(10);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_GE(clock.elapsed(), 2000 - 1);
}

TEST_F(AboutBox, LayoutTextsAndSettings)
{
    TAboutBox box;
    EXPECT_FALSE(box.isVisible()) << "created hidden";
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.size(), QSize(265, 243));
    EXPECT_EQ(box.minimumSize(), box.maximumSize()) << "fixed border";
    EXPECT_LE((box.geometry().center() - screenCentre()).manhattanLength(), 2);

    auto* panel = child<QFrame>(&box, "Panel1");
    EXPECT_EQ(panel->geometry(), QRect(8, 0, 249, 209));
    // A sunken box of one-pixel lines: lowered outer bevel, raised inner one.
    EXPECT_EQ(panel->frameShape(), QFrame::Box);
    EXPECT_EQ(panel->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(panel->frameWidth(), 2);

    auto* image = child<QLabel>(&box, "Image1");
    EXPECT_EQ(image->parentWidget(), panel);
    EXPECT_EQ(image->geometry(), QRect(2, 2, 245, 159));
    EXPECT_EQ(image->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(image->pixmap().size(), QSize(242, 154));

    auto* link = child<QLabel>(&box, "WebLink");
    EXPECT_EQ(link->parentWidget(), panel);
    EXPECT_EQ(link->pos(), QPoint(40, 168));
    EXPECT_EQ(link->text(), TAboutBox::WebAddress().host() + TAboutBox::WebAddress().path());
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_GE(link->width(), link->fontMetrics().horizontalAdvance(link->text())) << "text cut";

    auto* version = child<QLabel>(&box, "Version");
    EXPECT_EQ(version->parentWidget(), panel);
    EXPECT_EQ(version->pos(), QPoint(80, 184));
    EXPECT_EQ(version->text(), "Version V1.0.0");
    EXPECT_GE(version->width(), version->fontMetrics().horizontalAdvance(version->text())) << "text cut";

    auto* ok = child<QPushButton>(&box, "OKButton");
    EXPECT_EQ(ok->geometry(), QRect(87, 212, 75, 25));
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());

    expectTransitionComponents(&box);
}

TEST_F(AboutBox, LinkAndPictureOpenTheWebSite)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    TAboutBox box;
    box.show();
    click(child<QLabel>(&box, "WebLink"), QPoint(5, 5));
    click(child<QLabel>(&box, "Image1"), QPoint(100, 60));
    // A press that leaves the link before the release is no click.
    auto* link = child<QLabel>(&box, "WebLink");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), link->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(link, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-20, 5), link->mapToGlobal(QPointF(-20, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(link, &release);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(recorder.opened, QList<QUrl>({TAboutBox::WebAddress(), TAboutBox::WebAddress()}));
}

TEST_F(AboutBox, ModalResultsOfOkEnterAndClose)
{
    TAboutBox box;
    // OK, and Enter (the default button), close it with the OK result; the
    // window's close command closes it without.
    const auto runModal = [&](const std::function<void()>& action) {
        bool modal = false;
        QTimer::singleShot(0, &box, [&] {
            modal = box.isVisible() && QApplication::activeModalWidget() == &box;
            action();
        });
        const int result = box.exec();
        EXPECT_TRUE(modal);
        EXPECT_FALSE(box.isVisible());
        return result;
    };
    EXPECT_EQ(runModal([&] { child<QPushButton>(&box, "OKButton")->click(); }), QDialog::Accepted);
    EXPECT_EQ(runModal([&] {
                  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                  QCoreApplication::sendEvent(&box, &enter);
              }),
              QDialog::Accepted);
    EXPECT_EQ(runModal([&] { box.close(); }), QDialog::Rejected);
}

TEST_F(SplashWindow, ShownThroughATransitionThenFullyDrawn)
{
    QWidget owner;
    EffectRecorder recorder;
    ShowSplash(&owner);
    TForm3* splash = Form3;
    splash->Timer1->stop(); // however long the transition takes here, the splash stays
    auto* animation = splash->findChild<TluxAnimation*>(QStringLiteral("luxAnimation1"));
    ASSERT_NE(animation, nullptr);
    // Shown: the window is up beneath a lock that shows the screen as it was.
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(animation->IsControlFrozen(splash));
    EXPECT_EQ(FrozenControlCount(), 1);

    const QRect place = splash->geometry();
    QImage midFrame;
    recorder.watch(animation);
    QObject::connect(EngineTimer, &QTimer::timeout, splash, [&] {
        if (animation->State() == asExecuting && midFrame.isNull())
            midFrame = screenAt(place);
    });
    QElapsedTimer clock;
    clock.start();
    while (animation->IsControlFrozen(splash) && clock.elapsed() < 30000)
        luxtest::processEventsFor(10);
    ASSERT_FALSE(animation->IsControlFrozen(splash)) << "the transition never ended";
    EXPECT_EQ(FrozenControlCount(), 0);
    ASSERT_EQ(recorder.effects.size(), 1) << "one transition";
    EXPECT_NE(ProcList->GetProcs(recorder.effects[0]), nullptr) << "a registered effect";
    // Grabbed once the lock has gone: a lock drawn inside the window would be in the grab.
    const QImage picture = splash->grab().toImage();
    ASSERT_FALSE(midFrame.isNull()) << "no tick while the transition played";
    EXPECT_GT(luxtest::differingPixels(midFrame, picture.convertToFormat(QImage::Format_RGB32)), 0)
        << "while the transition plays, the lock's frames cover the window";
    EXPECT_EQ(screenDifference(place, picture), 0) << "the window, fully drawn, is what the screen shows";
}

TEST_F(AboutBox, EachOpeningPlaysATransitionWithAnEffectDrawnAtRandom)
{
    TAboutBox box;
    auto* animation = box.findChild<TluxAnimation*>(QStringLiteral("luxAnimation1"));
    ASSERT_NE(animation, nullptr);
    EffectRecorder recorder;
    recorder.watch(animation);
    const TluxAnimation::TNotifyEvent windowFinish = animation->OnFinish;
    qint64 finalDifference = -1;
    animation->OnFinish = [&](QObject* sender) {
        if (windowFinish)
            windowFinish(sender);
        // Once the lock has gone, the screen shows the box as it draws itself.
        QTimer::singleShot(0, &box, [&] {
            luxtest::processEventsFor(50);
            finalDifference = screenDifference(box.geometry(), box.grab().toImage());
            box.accept();
        });
    };
    // Four openings: four transitions, not all with the same effect.
    for (int opening = 0; opening < 4; ++opening) {
        finalDifference = -1;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, &box, &QDialog::reject);
        watchdog.start(30000);
        EXPECT_EQ(box.exec(), QDialog::Accepted) << "opening " << opening << ": no transition finished";
        EXPECT_EQ(finalDifference, 0) << "opening " << opening << ": the screen differs from the box's grab";
        EXPECT_EQ(FrozenControlCount(), 0);
    }
    ASSERT_EQ(recorder.effects.size(), 4) << recorder.effects.join(QStringLiteral(", ")).toStdString();
    for (const QString& effect : recorder.effects)
        EXPECT_NE(ProcList->GetProcs(effect), nullptr) << effect.toStdString();
    EXPECT_GT(QSet<QString>(recorder.effects.begin(), recorder.effects.end()).size(), 1)
        << recorder.effects.join(QStringLiteral(", ")).toStdString();
}

TEST_F(AboutBox, SelectionsFollowTheGeneratorAlsoAfterEffectsThatRestartIt)
{
    TAboutBox box;
    auto* animation = box.findChild<TluxAnimation*>(QStringLiteral("luxAnimation1"));
    ASSERT_NE(animation, nullptr);
    EffectRecorder recorder;
    recorder.watch(animation);
    const TluxAnimation::TNotifyEvent windowFinish = animation->OnFinish;
    animation->OnFinish = [&](QObject* sender) {
        if (windowFinish)
            windowFinish(sender);
        QTimer::singleShot(0, &box, [&] { box.accept(); });
    };

    // The effect the k-th selection after `seed` draws.
    const auto selection = [](uint32_t seed, int k) {
        const uint64_t n = uint64_t(ProcList->Count());
        return ProcList->Items(int((uint64_t(advanceSeed(seed, uint64_t(k))) * n) >> 32))->Name;
    };
    // A seed whose first selection is a pixel effect, which restarts the
    // generator on every frame: left so, the next selections would always be
    // the same few effects.
    uint32_t seed = 0;
    while (!selection(seed, 1).startsWith(QStringLiteral("[ FADE ] - Pixel")))
        ++seed;
    RandSeed = seed;
    QStringList expected;
    for (int opening = 0; opening < 6; ++opening) {
        expected << selection(seed, opening + 1);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, &box, &QDialog::reject);
        watchdog.start(30000);
        ASSERT_EQ(box.exec(), QDialog::Accepted) << "opening " << opening << ": no transition finished";
    }
    EXPECT_EQ(recorder.effects.join(QStringLiteral(", ")).toStdString(),
              expected.join(QStringLiteral(", ")).toStdString());
}

#include "splashwindows_test.moc"

// A window manager keeps the splash above its owner, the main window, for all
// its time, also when the main window is mapped, activated and raised after it.
TEST_F(SplashWindow, StaysAboveTheMainWindowMappedAfterIt)
{
    if (!qEnvironmentVariable("LUX_DESKTOP").startsWith(QLatin1String("openbox")))
        GTEST_SKIP() << "needs a window manager on a screen that reads back (scripts/with-wm)";
    QWidget owner;
    owner.setPalette(QPalette(QColor(200, 30, 160)));
    owner.setAutoFillBackground(true);
    ShowSplash(&owner);
    QPointer<TForm3> splash = Form3;
    splash->Timer1->stop();
    // Where it was put: Qt may learn another place from the manager's frame.
    const QRect place = splash->geometry();
    owner.setGeometry(QRect(QPoint(), QSize(500, 400)).translated(place.center() - QPoint(250, 200)));
    owner.show();
    owner.raise();
    owner.activateWindow();
    auto* animation = splash->findChild<TluxAnimation*>(QStringLiteral("luxAnimation1"));
    ASSERT_TRUE(waitUntil([&] { return !animation->IsControlFrozen(splash); }, 30000));
    const QImage picture = splash->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Seen over the main window once a compositor's fade has settled, and
    // for the rest of its time.
    EXPECT_TRUE(waitUntil([&] { return luxtest::differingPixels(screenAt(place), picture) == 0; }, 3000));
    for (int look = 0; look < 8; ++look) {
        luxtest::processEventsFor(100);
        EXPECT_EQ(luxtest::differingPixels(screenAt(place), picture), 0) << "look " << look;
    }
}

// On two monitors the splash and the main window open on the pointer's, and
// the About box on the main window's wherever that is.
TEST_F(AboutBox, OpensOnTheMainWindowsScreenAsTheSplashOnThePointers)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        GTEST_SKIP() << "needs two monitors (scripts/with-wm --monitors)";
    for (QScreen* screen : screens) {
        QCursor::setPos(screen->geometry().center());
        QWidget main;
        ShowSplash(&main);
        EXPECT_EQ(Form3->screen(), screen) << screen->name().toStdString();
        EXPECT_TRUE(screen->geometry().contains(Form3->geometry())) << screen->name().toStdString();
        EXPECT_EQ(main.screen(), screen) << screen->name().toStdString();
        Form3->Timer1Timer();

        main.setGeometry(QRect(screen->geometry().topLeft() + QPoint(40, 60), QSize(300, 200)));
        main.show();
        main.activateWindow();
        ASSERT_TRUE(waitUntil([&] { return main.windowHandle()->isExposed(); }));
        TAboutBox box;
        QRect opened;
        QTimer::singleShot(0, &box, [&] {
            opened = box.geometry();
            box.close();
        });
        box.exec();
        EXPECT_LE((opened.center() - screen->geometry().center()).manhattanLength(), 2) << screen->name().toStdString();
    }
}
