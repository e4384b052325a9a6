#include "effects/forms/controlfreezer.h"

#include "effects/util/controlgeometry.h"
#include "effects/util/transitionsurface.h"
#include "effects/forms/grabberregistry.h"
#include "effects/util/windowbackground.h"
#include "platform/devicecontext.h"
#include "platform/devicepixels.h"
#include "effects/bitmap/luxbitmap.h"

#include <QCoreApplication>
#include <QEvent>
#include <QRegion>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// The freeze list: the frozen controls in freezing order, each at most once.
using FreezeList = std::vector<std::unique_ptr<TFreezeItem>>;
std::unique_ptr<FreezeList> g_freezeList;

FreezeList& freezeList()
{
    if (!g_freezeList)
        g_freezeList = std::make_unique<FreezeList>();
    return *g_freezeList;
}

FreezeList::iterator findItem(QWidget* control)
{
    FreezeList& list = freezeList();
    return std::find_if(list.begin(), list.end(), [control](const auto& item) { return item->Control == control; });
}

// Takes the item out of the list; the caller frees it.
std::unique_ptr<TFreezeItem> takeItem(FreezeList::iterator it)
{
    std::unique_ptr<TFreezeItem> item = std::move(*it);
    freezeList().erase(it);
    QObject::disconnect(item->controlGone);
    return item;
}

void destroyLock(TFreezeItem& item)
{
    delete item.Lock.data();
}

// Keeps a lock pop-up above its form: X stacks a window by when it was
// created, so a form created while it is frozen (shown for the first time
// beneath its lock) would otherwise cover the pop-up. A window is created
// before its Show event and mapped after it, so raising the pop-up there keeps
// it above.
class PopupKeeper : public QObject {
public:
    static void update()
    {
        const bool needed = g_freezeList && std::any_of(g_freezeList->begin(), g_freezeList->end(), [](const auto& item) {
            return qobject_cast<TluxLockPopup*>(item->Lock.data()) != nullptr;
        });
        static PopupKeeper* keeper = nullptr;
        if (needed && !keeper) {
            keeper = new PopupKeeper();
            QCoreApplication::instance()->installEventFilter(keeper);
        } else if (!needed && keeper) {
            delete keeper;
            keeper = nullptr;
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto* window = qobject_cast<QWidget*>(watched);
        if (!window || !window->isWindow() || qobject_cast<TluxLockPopup*>(window) || !g_freezeList)
            return false;
        // Only the form's own lock: a window that opens over a frozen form
        // (a message box) lies above the form and its transition alike.
        for (const auto& item : *g_freezeList) {
            if (item->Control != window)
                continue;
            if (auto* popup = qobject_cast<TluxLockPopup*>(item->Lock.data()))
                popup->raise();
        }
        return false;
    }
};

// The shape of a form as it shows on screen, in coordinates whose origin is
// the form's outer top-left corner: the window manager's frame (if any) and
// the form's own area cut to its popup region.
QRegion formShape(QWidget* form, const QRegion& popupRegion)
{
    const QRect outer(QPoint(0, 0), GetRealBoundsRect(form).toQRect().size());
    const TPoint clientOrigin = GetClientOrigin(form);
    const QRect client(clientOrigin.toQPoint(), form->size());
    const QRegion own = (QRegion(0, 0, form->width(), form->height()) & popupRegion).translated(client.topLeft());
    return ((QRegion(outer) - QRegion(client)) + own) & QRegion(outer);
}

TluxLockControl* coverChild(QWidget* control, const TRect& R, TluxBitmap* bitmap)
{
    auto* lock = new TluxLockControl(control->parentWidget());
    lock->LockBitmap = bitmap;
    // The covered part, in the parent's coordinates; as the newest child,
    // raised, the lock lies above its siblings.
    lock->setGeometry(Bounds(R.Left + control->x(), R.Top + control->y(), R.Width(), R.Height()).toQRect());
    lock->raise();
    lock->Canvas();
    return lock;
}

TluxLockControl* coverForm(QWidget* form, const TRect& R, TluxBitmap* bitmap)
{
    auto* lock = new TluxLockPopup();
    lock->LockBitmap = bitmap;
    const std::optional<QRegion>* shape = popupRegionOfForm(form);
    if (shape && *shape) {
        // The form's shape, seen from the corner of the covered part.
        lock->setMask(formShape(form, **shape).translated(-R.Left, -R.Top));
    }
    const TRect outer = GetRealBoundsRect(form);
    lock->setGeometry(Bounds(R.Left + outer.Left, R.Top + outer.Top, R.Width(), R.Height()).toQRect());
    lock->Canvas();
    // The pop-up shows its picture from the moment it is mapped, before its
    // first paint: under a compositing manager it would be black until then.
    if (const QImage* picture = WindowSurfaceImage(lock))
        SetNativeBackground(lock, *picture);
    return lock;
}

// A form whose transitions are drawn in its own window is covered from
// inside: a lock over its client area, above its controls.
TluxLockControl* coverInside(QWidget* form, const TRect& R, TluxBitmap* bitmap)
{
    auto* lock = new TluxLockInside(form);
    lock->LockBitmap = bitmap;
    const TPoint origin = GetClientOrigin(form);
    lock->setGeometry(Bounds(R.Left - origin.X, R.Top - origin.Y, R.Width(), R.Height()).toQRect());
    lock->raise();
    lock->Canvas();
    return lock;
}

} // namespace

PopupRegionLookup popupRegionOfForm = [](QWidget*) -> const std::optional<QRegion>* { return nullptr; };

TCanvas* FreezeControlProc(QWidget* Control, const TRect& R, TluxBitmap* Bitmap)
{
    if (!Control || findItem(Control) != freezeList().end())
        return nullptr;

    const bool child = !Control->isWindow() && Control->parentWidget();
    // A form that has left the screen holds nothing inside it: a hide that
    // follows it plays on a pop-up over its place, from a copy of the screen.
    const bool inside = !child && !Control->isHidden() && TransitionSurfaceOfThisRun() == TransitionSurface::InWindow;
    TluxLockControl* lock = child ? coverChild(Control, R, Bitmap)
                            : inside ? coverInside(Control, R, Bitmap)
                                     : coverForm(Control, R, Bitmap);

    // Listed before anything else can run: a handler that runs while the lock
    // is painted then sees the control frozen.
    auto item = std::make_unique<TFreezeItem>();
    item->Control = Control;
    item->Lock = lock;
    item->controlGone = QObject::connect(Control, &QObject::destroyed, [Control] {
        auto it = findItem(Control);
        if (it == freezeList().end())
            return;
        std::unique_ptr<TFreezeItem> gone = takeItem(it);
        destroyLock(*gone);
        PopupKeeper::update();
    });
    freezeList().push_back(std::move(item));

    QPointer<TluxLockControl> alive = lock;
    lock->show();
    if (inside) {
        // Painted with the form: it may be on its way to the screen right now.
    } else if (child) {
        // Paint the lock now, before the caller goes on.
        lock->repaint();
        QCoreApplication::processEvents();
    } else {
        lock->raise();
        PopupKeeper::update();
    }
    // An event handled meanwhile may have unfrozen the control.
    return alive ? alive->Canvas() : nullptr;
}

void UnFreezeControlProc(QWidget* Control, bool BringForward)
{
    if (!g_freezeList || !Control)
        return;
    auto it = findItem(Control);
    if (it == freezeList().end())
        return;
    std::unique_ptr<TFreezeItem> item = takeItem(it);

    if (BringForward) {
        // The control paints now, above the lock, before the lock goes.
        Control->show();
        Control->raise();
        Control->repaint();
    }
    destroyLock(*item);
    PopupKeeper::update();
    // A form is never made stay-on-top by freezing, and a form hidden by a
    // transition stays hidden: there is no z-order to restore here.
}

TluxLockControl* FrozenLock(QWidget* Control)
{
    if (!g_freezeList || !Control)
        return nullptr;
    auto it = findItem(Control);
    return it == freezeList().end() ? nullptr : (*it)->Lock.data();
}

std::unique_ptr<TluxBitmap> GrabBeneathLock(QWidget* Control, const TRect& R)
{
    const qreal ratio = DevicePixelRatioOf(Control);
    auto* inside = qobject_cast<TluxLockInside*>(FrozenLock(Control));
    if (!inside)
        return GrabToDeviceBitmap(Control, R, ratio);
    // The lock is one of the form's own children: out of the way for the grab,
    // back before anything repaints. (A form whose updates are off would
    // render nothing, so they stay on: the repaints the lock's hiding asks for
    // come after it is back.)
    inside->hide();
    std::unique_ptr<TluxBitmap> grabbed = RenderToDeviceBitmap(Control, R, ratio);
    inside->show();
    inside->raise();
    inside->Revealed = grabbed.get();
    return grabbed;
}

int FrozenControlCount()
{
    return g_freezeList ? int(g_freezeList->size()) : 0;
}

void startControlFreezing()
{
    freezeList();
}

void stopControlFreezing()
{
    if (!g_freezeList)
        return;
    // Take the list first: destroying a lock may run code that looks at it.
    std::unique_ptr<FreezeList> list = std::move(g_freezeList);
    for (auto& item : *list) {
        QObject::disconnect(item->controlGone);
        destroyLock(*item);
    }
    list.reset();
    PopupKeeper::update();
}
