// The show and hide transitions of TluxAnimationForm and the hook on its form.
//
// The hook stands for a replaced window procedure. Qt sends a widget its Show
// event before the native window is mapped, so the Show event is where a show
// is prepared: the screen under the form is copied and covered by a lock
// pop-up showing that copy, and the form becomes visible beneath it. A posted
// CM_FINISHSHOWANIMATION event, delivered once the show has returned to the
// event loop, plays the transition on the pop-up and removes it.
//
// The hook stays on the form for its lifetime and follows it when Qt makes
// its native window again (a change of window flags or parent does that).
//
// The Hide event comes after the window has left the screen, so a hide is
// prepared when the native window announces that it is about to become
// invisible (QWindow::visibleChanged), while the form is still on the screen:
// the pop-up then shows the form itself and the form disappears beneath it.
// The posted CM_FINISHHIDEANIMATION plays the transition from the form to what
// lay behind it when it was shown, and the form stays hidden. When the form
// has moved since, nothing is known of what is behind it: the pop-up is
// simply removed.
//
// Both transitions cover the form's client area only. Where a window manager
// frames the form, the frame is the manager's: it comes and goes with the
// window, as the frame of every other window does, and the transition plays
// inside it. The frame's place is asked of the manager before the window is
// mapped (see WindowManagerFrame), so the pop-up lies exactly over the client
// area from the start. Without a frame the client area is the whole window.
// Where the manager cannot say before mapping, the pop-up moves to the form's
// real place once the form is mapped, before the first frame.
//
// Where the screen cannot be copied or a compositor runs (transitionsurface.h),
// the form's window is made translucent when the hook is installed, and the show transition is
// drawn inside it from a picture of the Unrevealed colour: what the effect has
// not yet revealed is see-through, the live desktop shows behind it, and there
// is neither a copy nor a pop-up. A hide is drawn inside the form the other way
// round, from the form to the Unrevealed picture, and must play while the
// window is still on the screen: by the time the native window announces its
// hiding, the window system no longer shows what it draws. So it plays when
// the form is asked to close (its Close event) or through
// hideThroughTransition, and the form is hidden once it has ended. A form
// hidden directly by hide() plays its hide on a pop-up as above where the
// screen could be copied when it was shown (X11 with a compositor); elsewhere
// it simply goes. The pictures of the form itself are its own rendering: the
// frame around it is the compositor's or Qt's decoration, not ours to draw.
//
// On a screen with a device pixel ratio above 1 the copy of the screen, the
// form's new picture and every frame have the screen's device pixels, and the
// lock shows them 1:1: the transition is as sharp as the form after it.

#include "effects/forms/animationform.h"

#include "effects/util/controlgeometry.h"
#include "effects/forms/grabberregistry.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/forms/luxanimation.h"
#include "effects/forms/controlfreezer.h"
#include "effects/forms/lockwindow.h"
#include "effects/forms/seethrough.h"
#include "effects/forms/windowsshownsince.h"
#include "effects/util/transitionsurface.h"
#include "effects/util/windowframe.h"
#include "platform/devicepixels.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// The part of the form a transition covers, in the form's outer coordinates
// (its frame's corner at (0, 0)): the client area.
TRect coveredPart(QWidget* form)
{
    return GetRealClientRect(form);
}

// That part on the screen.
// A window manager maps a window some time after the application asked for
// it. The transition starts once the form is on the screen beneath its lock,
// and the user's clicks and keys wait until then: a window closed before its
// manager had mapped it could leave the manager's frame behind.
void waitUntilMapped(QWidget* form)
{
    constexpr int MaxWaitMs = 1000;
    QTimer deadline; // also wakes the wait below should nothing else come
    deadline.setSingleShot(true);
    deadline.start(MaxWaitMs);
    QPointer<QWidget> alive = form;
    while (alive && alive->isVisible() && alive->windowHandle() && !alive->windowHandle()->isExposed()
           && deadline.isActive())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

TRect onScreen(QWidget* form, const TRect& part)
{
    const TRect outer = GetRealBoundsRect(form);
    TRect r = part;
    OffsetRect(r, outer.Left, outer.Top);
    return r;
}

bool drawsInside()
{
    return TransitionSurfaceOfThisRun() == TransitionSurface::InWindow;
}

// The window of a form whose transitions are drawn inside it takes an alpha
// channel; the form paints its background itself so that it stays opaque
// outside transitions. A native window made before has no alpha channel: it
// is made again (the form is not on the screen yet).
void makeTranslucent(QWidget* form)
{
    if (form->testAttribute(Qt::WA_TranslucentBackground))
        return;
    form->setAttribute(Qt::WA_TranslucentBackground);
    // The attribute also stops Qt from painting the form's background: the
    // window would stay see-through wherever no control paints. The surface
    // keeps its alpha channel; the form paints its palette's window colour.
    form->setAttribute(Qt::WA_NoSystemBackground, false);
    form->setAutoFillBackground(true);
    if (form->testAttribute(Qt::WA_WState_Created) && !form->isVisible())
        if (QWindow* window = form->windowHandle())
            window->destroy();
}

// The pop-up to the form's covered part as it now lies on the screen, placed
// from where the X server has the client area; elsewhere, from Qt's geometry
// where the manager could not tell the frame in advance.
void followForm(QWidget* form, const TRect& part, bool placeUnknown)
{
    QWidget* lock = FrozenLock(form);
    if (!lock || !lock->isWindow())
        return;
    QRect now;
    if (const std::optional<QPoint> client = ClientOriginOnScreen(form)) {
        const TPoint origin = GetClientOrigin(form);
        now = QRect(*client + QPoint(part.Left - origin.X, part.Top - origin.Y), QSize(part.Width(), part.Height()));
    } else if (placeUnknown) {
        now = onScreen(form, part).toQRect();
    } else {
        return;
    }
    if (lock->geometry() != now)
        lock->setGeometry(now);
}

// The screen under the form, at the device pixels the transition is composed at.
std::unique_ptr<TluxBitmap> screenUnder(QWidget* form, const TRect& screenRect)
{
    return GrabDesktopToDeviceBitmap(screenRect, DevicePixelRatioOf(form));
}

std::unique_ptr<TluxBitmap> unrevealedPicture(QWidget* form, const TRect& part)
{
    auto picture = std::make_unique<TluxBitmap>();
    const QSize size = ToDevicePixels(QSize(std::max(0, part.Width()), std::max(0, part.Height())), DevicePixelRatioOf(form));
    picture->SetSize(size.width(), size.height());
    picture->Clear(Unrevealed);
    return picture;
}

} // namespace

void TluxAnimationForm::installHook(QWidget* form)
{
    removeHook();
    m_hookedForm = form;
    if (drawsInside())
        makeTranslucent(form);
    form->installEventFilter(this);
    form->winId(); // the native window whose hiding is watched
    watchWindow();
}

void TluxAnimationForm::watchWindow()
{
    QWindow* window = m_hookedForm ? m_hookedForm->windowHandle() : nullptr;
    if (window == m_watchedWindow)
        return;
    disconnect(m_windowHiding);
    m_watchedWindow = window;
    if (!window)
        return;
    m_windowHiding = connect(window, &QWindow::visibleChanged, this, [this](bool visible) {
        if (!visible) {
            abortShowTransition();
            PrepareHideAnimation();
        }
    });
}

void TluxAnimationForm::removeHook()
{
    if (m_hookedForm)
        m_hookedForm->removeEventFilter(this);
    disconnect(m_windowHiding);
    m_watchedWindow = nullptr;
    m_hookedForm = nullptr;
}

bool TluxAnimationForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_hookedForm) {
        // A component made in code whose form is shown before the event loop ran.
        if (m_loaded || watched != parent() || event->type() != QEvent::Show || event->spontaneous())
            return QObject::eventFilter(watched, event);
        Loaded();
        if (watched != m_hookedForm)
            return false;
    }
    const int type = event->type();
    if (type == CM_FINISHSHOWANIMATION) {
        FinishShowAnimation();
        return true;
    }
    if (type == CM_FINISHHIDEANIMATION) {
        FinishHideAnimation();
        return true;
    }
    switch (event->type()) {
    case QEvent::WinIdChange:
        watchWindow(); // the form's native window was made again
        break;
    case QEvent::Show:
        if (!event->spontaneous()) {
            watchWindow();
            PrepareShowAnimation();
            QCoreApplication::postEvent(m_hookedForm, new QEvent(CM_FINISHSHOWANIMATION));
        }
        break;
    case QEvent::Close:
        // Played first: the close may delete the form once it is hidden,
        // which waits for the end of a transition begun before it.
        playHideInside();
        closeThroughHide();
        break;
    case QEvent::Hide:
        if (!event->spontaneous()) {
            abortShowTransition();
            QCoreApplication::postEvent(m_hookedForm, new QEvent(CM_FINISHHIDEANIMATION));
        }
        break;
    default:
        break;
    }
    return false;
}

void TluxAnimationForm::PrepareShowAnimation()
{
    QWidget* form = ownerForm();
    if (!form)
        return;
    const TRect R = coveredPart(form);
    const TRect screenRect = onScreen(form, R);
    // The form is not on the screen yet: this is what a hide will uncover.
    // Inside the window too, where the screen can be copied: a plain hide
    // gives no warning before the form leaves the screen, and only this copy
    // lets a pop-up play it then.
    m_behind.reset();
    if ((m_hideAnimation || m_keepsBehind) && (!drawsInside() || ScreenCopiesOfThisRun())) {
        m_behind = screenUnder(form, screenRect);
        m_behindRect = screenRect;
    }
    if (!m_showAnimation || m_showAnimation->IsControlFrozen(form))
        return;
    // Inside the window nothing of the screen is needed: the form comes in
    // over the live desktop.
    if (drawsInside()) {
        m_showAnimation->FreezeControl(form, R, unrevealedPicture(form, R));
        return;
    }
    m_showCopyRect = screenRect;
    m_windowsAtCopy = WindowsOnScreen();
    m_showAnimation->FreezeControl(form, R, screenUnder(form, screenRect));
}

// Windows of this program mapped since the copy was taken (the main window
// beneath its splash) are drawn into it before the transition reveals the form
// over it, and onto the pop-up that shows it meanwhile.
void TluxAnimationForm::addWindowsShownSinceCopy()
{
    QWidget* form = ownerForm();
    TluxBitmap* copy = m_showAnimation ? m_showAnimation->SourceImage() : nullptr;
    TluxLockControl* lock = FrozenLock(form);
    if (drawsInside() || !copy || !lock)
        return;
    DrawWindowsShownSince(*copy, m_showCopyRect, DevicePixelRatioOf(form), m_windowsAtCopy, form);
    m_windowsAtCopy.clear();
    copy->Draw(lock->Canvas(), 0, 0);
    lock->update();
}

void TluxAnimationForm::FinishShowAnimation()
{
    QWidget* form = ownerForm();
    if (!m_showAnimation || !m_showAnimation->IsControlFrozen(form))
        return;
    QPointer<TluxAnimationForm> self = this;
    QPointer<TluxAnimation> animation = m_showAnimation;
    // Once mapped, the form is where the manager put it: the pop-up goes there
    // before the first frame.
    const bool placeUnknown = WindowManagerFrameUnknown(form);
    waitUntilMapped(form);
    if (form->isVisible()) {
        followForm(form, coveredPart(form), placeUnknown);
        addWindowsShownSinceCopy();
    }
    // Hidden again before its transition could start: there is nothing to
    // uncover, only the pop-up to remove.
    if (animation && form->isVisible())
        animation->Execute();
    if (animation)
        animation->Restore();
    if (self)
        emit transitionEnded(true);
}

// A form closed while its show transition plays is gone from the screen: the
// transition stops at once and its pop-up goes, rather than go on showing the
// form coming in.
void TluxAnimationForm::abortShowTransition()
{
    if (m_showAnimation && m_showAnimation->FrozenControl() && m_showAnimation->FrozenControl() == ownerForm())
        m_showAnimation->Abort();
}

void TluxAnimationForm::PrepareHideAnimation()
{
    QWidget* form = ownerForm();
    // Inside the window the hide plays before the form goes (a close, or
    // hideThroughTransition); after a plain hide only a copy of what the form
    // covered lets a pop-up play it.
    if (!form || !m_hideAnimation || m_hideAnimation->IsControlFrozen(form) || (drawsInside() && !m_behind))
        return;
    const TRect R = coveredPart(form);
    // The form itself, still on the screen; a compositor may already have
    // taken it off its picture, so there the form paints it once more.
    m_hideAnimation->FreezeControl(form, R,
                                   drawsInside() ? RenderToDeviceBitmap(form, R, DevicePixelRatioOf(form))
                                                 : screenUnder(form, onScreen(form, R)));
}

// The hide transition inside the form, while it is still on the screen: from
// the form as it looks to the Unrevealed picture, which is see-through. The
// form keeps the lock, wholly see-through, until it has been hidden
// (FinishHideAnimation removes it); should the form stay (its close refused),
// the lock goes and the form shows again.
void TluxAnimationForm::playHideInside()
{
    QWidget* form = ownerForm();
    if (!form || !m_hideAnimation || !drawsInside() || !form->isVisible() || m_hideAnimation->IsControlFrozen(form))
        return;
    abortShowTransition();
    const TRect R = coveredPart(form);
    m_hideAnimation->FreezeControl(form, R, RenderToDeviceBitmap(form, R, DevicePixelRatioOf(form)));
    // The form's own picture is what the frames fade away from: their fade becomes alpha.
    if (auto* lock = qobject_cast<TluxLockInside*>(FrozenLock(form)))
        lock->Revealed = m_hideAnimation->SourceImage();
    QPointer<TluxAnimation> animation = m_hideAnimation;
    QPointer<QWidget> alive = form;
    animation->ExecuteTo(unrevealedPicture(form, R));
    m_hidPlayedInside = true;
    QTimer::singleShot(0, this, [this, animation, alive] {
        if (alive && alive->isVisible() && m_hidPlayedInside) {
            m_hidPlayedInside = false;
            if (animation)
                animation->Restore();
        }
    });
}

void TluxAnimationForm::hideThroughTransition()
{
    playHideInside();
    if (QWidget* form = ownerForm())
        form->hide();
}

void TluxAnimationForm::FinishHideAnimation()
{
    QWidget* form = ownerForm();
    if (!m_hideAnimation || !m_hideAnimation->IsControlFrozen(form)) {
        endHide();
        return;
    }
    QPointer<TluxAnimationForm> self = this;
    QPointer<TluxAnimation> animation = m_hideAnimation;
    if (m_hidPlayedInside) {
        // Played inside the form before it went: only the lock is left to remove.
        m_hidPlayedInside = false;
        animation->Restore();
        if (self)
            endHide();
        return;
    }
    const TRect R = onScreen(form, coveredPart(form));
    if (m_behind && m_behindRect.Left == R.Left && m_behindRect.Top == R.Top && m_behindRect.Right == R.Right
        && m_behindRect.Bottom == R.Bottom) {
        auto behind = std::make_unique<TluxBitmap>();
        behind->Assign(m_behind.get());
        animation->ExecuteTo(std::move(behind));
    } else {
        qWarning("TluxAnimationForm \"%s\": the window %s since it was shown, so what lies behind it is not "
                 "known; it is hidden without a transition",
                 qUtf8Printable(objectName()), m_behind ? "moved or changed size" : "was not shown with this component");
    }
    if (animation)
        animation->Restore();
    if (self)
        endHide();
}

// The form's close, when it would delete the form right after hiding it: the
// deletion waits for the hide transition. A close the form refuses leaves the
// attribute as it was.
void TluxAnimationForm::closeThroughHide()
{
    QWidget* form = ownerForm();
    if (!form || !m_hideAnimation || !form->isVisible() || !form->testAttribute(Qt::WA_DeleteOnClose))
        return;
    form->setAttribute(Qt::WA_DeleteOnClose, false);
    m_deleteAfterHide = true;
    QTimer::singleShot(0, this, [this] {
        QWidget* f = ownerForm();
        if (f && f->isVisible() && m_deleteAfterHide) {
            m_deleteAfterHide = false;
            f->setAttribute(Qt::WA_DeleteOnClose, true);
        }
    });
}

void TluxAnimationForm::endHide()
{
    if (m_hideAnimation)
        emit transitionEnded(false);
    if (m_deleteAfterHide) {
        m_deleteAfterHide = false;
        if (QWidget* form = ownerForm())
            form->deleteLater();
    }
}

void TluxAnimationForm::SetShowAnimation(TluxAnimation* Value)
{
    if (Value == m_showAnimation)
        return;
    disconnect(m_showAnimationGone);
    m_showAnimation = Value;
    if (Value)
        m_showAnimationGone = connect(Value, &QObject::destroyed, this, [this](QObject* gone) { Notification(gone); });
}

void TluxAnimationForm::SetHideAnimation(TluxAnimation* Value)
{
    if (Value == m_hideAnimation)
        return;
    disconnect(m_hideAnimationGone);
    m_hideAnimation = Value;
    if (Value)
        m_hideAnimationGone = connect(Value, &QObject::destroyed, this, [this](QObject* gone) { Notification(gone); });
}

void TluxAnimationForm::Notification(QObject* component)
{
    if (component == m_showAnimation) {
        disconnect(m_showAnimationGone);
        m_showAnimation = nullptr;
    }
    if (component == m_hideAnimation) {
        disconnect(m_hideAnimationGone);
        m_hideAnimation = nullptr;
    }
}
