// The splash window and the About box on real windows: their layout and
// texts, the splash closing itself after its two seconds, the About box's
// link, default button and results.

#include "aboutbox.h"
#include "form3.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

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

QPoint screenCentre()
{
    return QGuiApplication::primaryScreen()->geometry().center();
}

} // namespace

TEST(SplashWindow, BorderlessPictureCentredWithItsTimer)
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
    EXPECT_LE((splash->geometry().center() - screenCentre()).manhattanLength(), 2);

    auto* image = child<QLabel>(splash, "Image1");
    EXPECT_EQ(image->geometry(), QRect(0, 0, 241, 153));
    EXPECT_EQ(image->pixmap().size(), QSize(242, 154));

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

TEST(SplashWindow, DestroyedWithItsOwner)
{
    auto owner = std::make_unique<QWidget>();
    ShowSplash(owner.get());
    ASSERT_NE(Form3, nullptr);
    owner.reset();
    EXPECT_EQ(Form3, nullptr);
}

TEST(SplashWindow, GoneTwoSecondsAfterItWasShownWithoutBeingTouched)
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

TEST(AboutBox, LayoutTextsAndSettings)
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
}

TEST(AboutBox, LinkAndPictureOpenTheWebSite)
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

TEST(AboutBox, ModalResultsOfOkEnterAndClose)
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

#include "splashwindows_test.moc"
