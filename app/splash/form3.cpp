#include "app/splash/form3.h"

#include "effects/forms/luxanimation.h"
#include "app/splash/randomselection.h"
#include "ui_form3.h"
#include "app/splash/windowresources.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

QPointer<TForm3> Form3;

namespace {

void centreOnPrimaryScreen(QWidget* window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->geometry().center() - window->rect().center());
}

} // namespace

TForm3::TForm3(QWidget* AOwner)
    : QWidget(AOwner, Qt::Window | Qt::FramelessWindowHint),
      ui(std::make_unique<Ui::TForm3>())
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->Image1->setPixmap(QPixmap::fromImage(SplashPicture()));
    centreOnPrimaryScreen(this);
    // Owned by the main window: a window manager keeps it above the main
    // window, which it maps a moment later, and below the message boxes.
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

void ShowSplash(QWidget* Owner)
{
    Form3 = new TForm3(Owner);
    Form3->show();
}
