// lux::animateShow, lux::animateHide and lux::Transition: a window's show and
// hide animations on its TluxAnimationForm, set for one showing or hiding at
// a time, with every misuse said in a warning.

#include "lux/transitions.h"

#include "effects/engine/effectregistry.h"
#include "effects/forms/animationform.h"
#include "effects/forms/luxanimation.h"
#include "effects/forms/luxstartup.h"
#include "effects/util/guithread.h"

#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace lux {

namespace {

// The registered effect a bare or full name gives (ignoring case); null when
// none does. The two pseudo names ("random", "bitmap") are no effects here.
const TluxProcItem* findEffect(const QString& name)
{
    return ProcList && !name.isEmpty() ? ProcList->GetProcs(name) : nullptr;
}

// The start of everything this interface does: the GUI thread, a running
// library, and a top-level widget.
bool usable(QWidget* window, const char* who)
{
    if (!onGuiThread(who))
        return false;
    if (!luxStartOnFirstUse()) {
        qWarning("%s: the transitions have been shut down (luxShutdown); nothing done", who);
        return false;
    }
    if (!window) {
        qWarning("%s: no window given (null); nothing done", who);
        return false;
    }
    if (!window->isWindow()) {
        qWarning("%s: %s \"%s\" is not a window but a child widget; only top-level windows are animated",
                 who, window->metaObject()->className(), qUtf8Printable(window->objectName()));
        return false;
    }
    return true;
}

Transition* transitionOf(QWidget* window, const char* who);

// A window the program has not placed is placed by the window manager once it
// is mapped, after the screen under it was copied for the transition; and Qt
// places a dialog without saying so to the manager. Such a window is placed
// here instead, where Qt would put it: centred over its parent's window, or on
// its screen. Placed before its native window exists, the window keeps its
// frame's corner there, which is where the transition expects it.
void placeIfUnplaced(QWidget* window)
{
    if (window->testAttribute(Qt::WA_Moved))
        return;
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    QRect area;
    if (QWidget* parent = window->parentWidget())
        area = parent->window()->frameGeometry();
    else if (QScreen* screen = window->screen())
        area = screen->availableGeometry();
    if (!area.isEmpty())
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

} // namespace

struct Transition::Private {
    QPointer<QWidget> window;
    QPointer<TluxAnimationForm> form;
    TluxAnimation* showAnimation = nullptr; // both children of the Transition
    TluxAnimation* hideAnimation = nullptr;
    // The window's own animations (read from its stream), set again after ours.
    QPointer<TluxAnimation> ownShow;
    QPointer<TluxAnimation> ownHide;
    bool showing = false;
    bool hiding = false;
    bool deleteAfterHide = false;

    bool start(bool show, const QString& effect, std::chrono::milliseconds duration, const char* who);
    void ended(Transition* self, bool show);
};

QStringList effectNames()
{
    QStringList names;
    if (!ProcList && (!onGuiThread("lux::effectNames") || !luxStartOnFirstUse()))
        return names;
    for (int i = 0; i < ProcList->Count(); ++i) {
        const QString& full = ProcList->Items(i)->Name;
        names.append(full.mid(kindPrefix(ProcList->Items(i)->Kind).size()));
    }
    return names;
}

bool animateShow(QWidget* window, const QString& effect, std::chrono::milliseconds duration)
{
    Transition* t = transitionOf(window, "lux::animateShow");
    return t && t->d->start(true, effect, duration, "lux::animateShow");
}

bool animateHide(QWidget* window, const QString& effect, std::chrono::milliseconds duration)
{
    Transition* t = transitionOf(window, "lux::animateHide");
    return t && t->d->start(false, effect, duration, "lux::animateHide");
}

namespace {

Transition* transitionOf(QWidget* window, const char* who)
{
    return usable(window, who) ? Transition::of(window) : nullptr;
}

} // namespace

Transition* Transition::of(QWidget* window)
{
    if (!usable(window, "lux::Transition::of"))
        return nullptr;
    if (auto* t = window->findChild<Transition*>(QString(), Qt::FindDirectChildrenOnly))
        return t;
    // The form component makes the native window: the window is placed first.
    if (!window->isVisible())
        placeIfUnplaced(window);
    return new Transition(window);
}

Transition::Transition(QWidget* window) : QObject(window), d(std::make_unique<Private>())
{
    d->window = window;
    // The window's own form component (one read from its stream) serves, or one of ours.
    d->form = FindAnimationForm(window);
    if (!d->form) {
        d->form = new TluxAnimationForm(window);
        d->form->Loaded();
    } else if (!d->form->IsHooked()) {
        d->form->Loaded();
    }
    // What lies behind the window is kept at each showing, for a hide asked for later.
    d->form->setKeepsBehind(true);
    d->showAnimation = new TluxAnimation(this);
    d->hideAnimation = new TluxAnimation(this);
    for (TluxAnimation* a : {d->showAnimation, d->hideAnimation})
        a->OnStart = [this](QObject*) { emit started(); };
    connect(d->form, &TluxAnimationForm::transitionEnded, this, [this](bool show) { d->ended(this, show); });
}

Transition::~Transition() = default;

bool Transition::show(const QString& effect, std::chrono::milliseconds duration)
{
    return usable(d->window, "lux::Transition::show") && d->start(true, effect, duration, "lux::Transition::show");
}

bool Transition::hide(const QString& effect, std::chrono::milliseconds duration)
{
    return usable(d->window, "lux::Transition::hide") && d->start(false, effect, duration, "lux::Transition::hide");
}

QWidget* Transition::window() const
{
    return d->window;
}

bool Transition::isRunning() const
{
    return d->showing || d->hiding;
}

bool Transition::Private::start(bool show, const QString& effect, std::chrono::milliseconds duration,
                                const char* who)
{
    const TluxProcItem* item = findEffect(effect);
    if (!item) {
        qWarning("%s: unknown effect \"%s\"; lux::effectNames() lists the 58 effects", who, qUtf8Printable(effect));
        return false;
    }
    if (!form) {
        qWarning("%s: the window's TluxAnimationForm has been deleted; nothing done", who);
        return false;
    }
    if (window->isVisible() == show) {
        qWarning("%s: the window \"%s\" is already %s; nothing done", who, qUtf8Printable(window->objectName()),
                 show ? "visible" : "hidden");
        return false;
    }
    TluxAnimation* animation = show ? showAnimation : hideAnimation;
    animation->Effect = item->Name;
    animation->SetTime(int(std::clamp<std::chrono::milliseconds::rep>(duration.count(), 0, TluxAnimationRec::maxTime)));
    if (show) {
        showing = true;
        if (form->GetShowAnimation() != animation)
            ownShow = form->GetShowAnimation();
        form->SetShowAnimation(animation);
        placeIfUnplaced(window);
        window->show();
    } else {
        hiding = true;
        deleteAfterHide = window->testAttribute(Qt::WA_DeleteOnClose);
        if (form->GetHideAnimation() != animation)
            ownHide = form->GetHideAnimation();
        form->SetHideAnimation(animation);
        form->hideThroughTransition();
    }
    return true;
}

// One showing or hiding per call: the animation leaves the form once it has
// played, so that the window's own show() and hide() stay plain.
void Transition::Private::ended(Transition* self, bool show)
{
    bool& pending = show ? showing : hiding;
    if (!pending)
        return;
    pending = false;
    if (show)
        form->SetShowAnimation(ownShow);
    else
        form->SetHideAnimation(ownHide);
    const bool deleteWindow = !show && deleteAfterHide;
    QPointer<QWidget> w = window;
    emit self->finished();
    if (deleteWindow && w)
        w->deleteLater();
}

} // namespace lux
