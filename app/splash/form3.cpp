#include "app/splash/form3.h"

#include "effects/forms/luxanimation.h"
#include "app/splash/randomselection.h"
#include "ui_form3.h"
#include "app/splash/windowplacement.h"
#include "app/splash/windowresources.h"
#include "effects/util/transitionsurface.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QTimer>
#include <QWindow>

QPointer<TForm3> Form3;

// Above the other windows while it shows: a window manager keeps the main
// window, mapped and activated after it, beneath it. (Owning it is not enough:
// Qt names the owner as the window it is transient for only for tool, dialog
// and splash types, and a window manager ignores a transient-for window that
// it does not manage yet, as the main window is when the splash is mapped.
// Qt's splash type would also make Qt process every pending event while it
// shows one, which would play the whole transition inside show().)
TForm3::TForm3(QWidget* AOwner)
    : QWidget(AOwner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TForm3>())
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->Image1->setPixmap(QPixmap::fromImage(SplashPicture()));
    // The splash and the main window open on one screen: the pointer's.
    QScreen* screen = StartupScreen();
    if (AOwner && screen && AOwner->window()->screen() != screen && !AOwner->window()->isVisible())
        CentreOnScreen(AOwner->window(), screen);
    CentreOnScreen(this, screen);
    // Owned by the main window: where the window system stacks windows by
    // owner (Wayland), it stays above the main window that way.
    if (AOwner) {
        winId();
        AOwner->window()->winId();
        windowHandle()->setTransientParent(AOwner->window()->windowHandle());
    }
    // The animation list and the form animation that plays a random effect
    // when the window is shown.
    ReadFormComponents(this, QStringLiteral("form3-components.json"));
    KeepSelectionRandom(findChild<TluxAnimation*>(QStringLiteral("luxAnimation1")));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(ShowTime);
    connect(Timer1, &QTimer::timeout, this, &TForm3::Timer1Timer);
    Timer1->start();
}

TForm3::~TForm3() = default;

void TForm3::Timer1Timer()
{
    Timer1->stop();
    close();
}

namespace {

// Shows the splash once its main window is on the screen.
class ShowWithMainWindow : public QObject {
public:
    ShowWithMainWindow(QWidget* splash, QWidget* main) : QObject(splash), m_splash(splash), m_main(main)
    {
        main->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_main && event->type() == QEvent::Show) {
            m_main->removeEventFilter(this);
            if (QWindow* window = m_main->windowHandle(); window && !window->isExposed()) {
                window->installEventFilter(this);
                return false;
            }
            showSplash();
        } else if (watched == m_main->windowHandle() && event->type() == QEvent::Expose && m_main->windowHandle()->isExposed()) {
            watched->removeEventFilter(this);
            showSplash();
        }
        return false;
    }

private:
    void showSplash()
    {
        QTimer::singleShot(0, m_splash, [splash = m_splash] { splash->show(); });
        deleteLater();
    }

    QWidget* m_splash;
    QWidget* m_main;
};

} // namespace

void ShowSplash(QWidget* Owner)
{
    Form3 = new TForm3(Owner);
    QWidget* main = Owner ? Owner->window() : nullptr;
    // A Wayland compositor keeps a window above its parent only when the
    // parent is on the screen first, and no client may stack its windows
    // otherwise; weston's X window manager (Xwayland) likewise honours neither
    // stays-on-top nor a transient-for window it does not manage yet. There
    // the splash follows its main window by a moment.
    if (main && !main->isVisible()
        && (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) || RunsOnXwayland())) {
        new ShowWithMainWindow(Form3, main);
        return;
    }
    Form3->show();
}
