#pragma once
// Freezing a control: covering (part of) it with a lock window that shows a
// fixed picture, so that whatever the control does meanwhile stays invisible,
// until it is unfrozen and the lock window goes away.
//
// A child control is covered by a TluxLockControl in its parent, above its
// siblings. A top-level widget (a form) is covered by a TluxLockPopup at the
// same place on the screen, with the form's shape when the form's
// TluxAnimationForm gave it one; where transitions are drawn inside their
// windows (transitionsurface.h), by a TluxLockInside over its client area.
// A transition draws its frames on the lock's canvas.

#include "platform/canvas.h"
#include "effects/forms/lockwindow.h"
#include "platform/types.h"

#include <QMetaObject>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <optional>

class TluxBitmap;

// The shape of a form's pop-up in the form's coordinates, as the form's animation component
// keeps it; null for a rectangular pop-up. The animation form puts its lookup here when it is
// created, so that the freezer needs to know nothing of it.
using PopupRegionLookup = const std::optional<QRegion>* (*)(QWidget* form);
extern PopupRegionLookup popupRegionOfForm;

// One frozen control and its lock window (owned).
struct TFreezeItem {
    QWidget* Control = nullptr; // the item is dropped when the control is destroyed
    QPointer<TluxLockControl> Lock; // a child lock also goes with its parent
    QMetaObject::Connection controlGone;
};

// Covers the part R of Control (Control's coordinates, its outer top-left
// corner at (0, 0)) with a lock window showing Bitmap, and returns the lock's
// canvas. Null when Control is null or already frozen (nothing changes then),
// and when the lock went away while a child lock was being painted.
// Bitmap must stay alive until Control is unfrozen; the canvas is valid until then.
// Covering a child control processes pending events once, so the lock is on
// screen before this returns.
TCanvas* FreezeControlProc(QWidget* Control, const TRect& R, TluxBitmap* Bitmap);

// Removes Control's lock window, uncovering the control as it now is. With
// BringForward the control is first shown, raised and repainted, so it is on
// screen before the lock goes. Nothing happens when Control is not frozen.
void UnFreezeControlProc(QWidget* Control, bool BringForward);

// The lock window of a frozen control, or null.
TluxLockControl* FrozenLock(QWidget* Control);
// Control's part R as GrabToLuBitmap gives it, without the lock over it. When
// the lock lies inside the form (a transition drawn in the form's own window),
// the grab is also what that lock reveals from then on; the grab must then
// outlive the lock.
std::unique_ptr<TluxBitmap> GrabBeneathLock(QWidget* Control, const TRect& R);
// Number of frozen controls.
int FrozenControlCount();

// Start-up step: creates the (empty) freeze list. Freezing before it creates
// the list on first use.
void startControlFreezing();
// Shut-down step: destroys every lock window still up and frees the freeze list.
void stopControlFreezing();
