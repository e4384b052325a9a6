#include "app/window/messagebox.h"

#include "effects/forms/controlfreezer.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>
#include <QTimer>

QString ApplicationTitle()
{
    return QCoreApplication::applicationName();
}

namespace {

// A window manager cuts a caption that does not fit its title bar beside the
// window's icon and buttons. A message box is as wide as its text and button,
// often narrower than that: a spacer across its bottom makes it wide enough.
void makeRoomForCaption(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont captionFont = box.font();
    captionFont.setBold(true);
    const int titleBar = box.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    // The icon, three buttons and the gaps between them.
    const int wanted = QFontMetrics(captionFont).horizontalAdvance(box.windowTitle()) + 6 * titleBar;
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

// A transition covers its window with a lock pop-up that stays above every
// other window until the transition ends. A message box opened meanwhile (the
// start-up port error over the splash) would show the transition through its
// middle: it waits until the transitions on the screen have ended.
void waitForTransitions()
{
    constexpr int LongestTransitionMs = 9000;
    QTimer deadline; // also wakes the wait below should nothing else come
    deadline.setSingleShot(true);
    deadline.start(LongestTransitionMs + 1000);
    while (FrozenControlCount() > 0 && deadline.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

void ShowModalMessage(const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption.isEmpty() ? ApplicationTitle() : caption, text,
                    QMessageBox::Ok);
    makeRoomForCaption(box);
    waitForTransitions();
    box.exec();
}

bool AskModalQuestion(const QString& text)
{
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), text, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    makeRoomForCaption(box);
    waitForTransitions();
    return box.exec() == QMessageBox::Yes;
}
