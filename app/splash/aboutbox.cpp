#include "app/splash/aboutbox.h"

#include "effects/forms/luxanimation.h"
#include "app/splash/randomselection.h"
#include "ui_aboutbox.h"
#include "app/splash/windowplacement.h"
#include "app/splash/windowresources.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QPixmap>

QUrl TAboutBox::WebAddress()
{
    return QUrl(QStringLiteral("https://www.example.com/tk790"));
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TAboutBox>())
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->Image1->setPixmap(QPixmap::fromImage(SplashPicture()));
    // The labels size themselves to their text, keeping their top-left corner.
    ui->WebLink->adjustSize();
    ui->Version->adjustSize();
    CentreOnScreen(this, QGuiApplication::primaryScreen());
    // The animation list and the form animation that plays a random effect
    // each time the box is shown.
    ReadFormComponents(this, QStringLiteral("aboutbox-components.json"));
    KeepSelectionRandom(findChild<TluxAnimation*>(QStringLiteral("luxAnimation1")));

    connect(ui->Image1, &ClickableLabel::clicked, this, &TAboutBox::WebLinkClick);
    connect(ui->WebLink, &ClickableLabel::clicked, this, &TAboutBox::WebLinkClick);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::setVisible(bool visible)
{
    // Modal over the main window: it opens on that window's screen, not on
    // the primary one where the main window may not be.
    if (visible && !isVisible())
        CentreOnScreen(this, MainWindowScreen(this));
    QDialog::setVisible(visible);
}

void TAboutBox::WebLinkClick()
{
    QDesktopServices::openUrl(WebAddress());
}
