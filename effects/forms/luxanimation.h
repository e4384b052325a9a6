#pragma once
// TluxAnimation: the animation settings made into a three-step operation for
// any control. FreezeControl covers the control with a lock window showing its
// present look; the application then changes the control underneath; Execute
// grabs the new look and plays the transition from the old picture to the new
// one on the lock window; Restore removes the lock. ExecuteImage plays between
// two given pictures on any canvas.
//
// An animation may belong to a TluxAnimationList (its parent component), with
// which a form's component stream stores it.

#include "effects/engine/luxanimationrec.h"
#include "platform/types.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class TCanvas;
class TluxAnimationList;
class TluxBitmap;

enum TluxAnimationState : uint8_t { asNormal = 0, asExecuting = 1 };

class TluxAnimation : public TluxAnimationRec {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;

    explicit TluxAnimation(QObject* Owner = nullptr);
    // Stops its transition should one be playing (a handler may free the
    // animation), removes its lock window, leaves its list and frees the
    // pictures it still holds.
    ~TluxAnimation() override;

    // When frozen, plays the transition on the lock window (ExecuteImage(FrozenCanvas, 0, 0)).
    void Execute();
    // Plays SourceImage turning into DestImage on Canvas at (X, Y), then draws
    // DestImage there. When frozen, DestImage is first grabbed from the frozen
    // control (the picture it replaces is freed). Returns at once, calling no
    // event, when a picture is missing or empty.
    void ExecuteImage(TCanvas* Canvas, int X, int Y);
    // As Execute, with Dest as the final picture instead of a grab of the control.
    void ExecuteTo(std::unique_ptr<TluxBitmap> Dest);

    // Covers the part R of Control (R relative to Control's outer top-left
    // corner, clipped to the control) with a lock window showing Image, or a
    // fresh grab of that part when Image is null. The animation owns the
    // picture. Nothing happens (and Image is freed) when Control is null or the
    // animation is already frozen.
    void FreezeControl(QWidget* Control, const TRect& R, std::unique_ptr<TluxBitmap> Image = {});
    // As FreezeControl with R in Control's client coordinates.
    void FreezeControlClient(QWidget* Control, const TRect& R, std::unique_ptr<TluxBitmap> Image = {});
    // Removes the lock window and frees both pictures; nothing when not frozen.
    // Asked while a transition plays, it happens when the transition has ended.
    void Restore();
    // Ends the transition being played (or about to start: its start handler
    // or the repaint before the grab is running) at once, without drawing
    // another frame: the control it was uncovering has gone from the screen.
    void Abort();
    // Whether the animation is frozen; the argument is not consulted.
    bool IsControlFrozen(QWidget* Control) const;

    // Each takes the picture (freeing the one it replaces) and makes it opaque.
    void SetSourceImage(std::unique_ptr<TluxBitmap> Image);
    void SetDestImage(std::unique_ptr<TluxBitmap> Image);
    TluxBitmap* SourceImage() const { return m_sourceImage.get(); }
    TluxBitmap* DestImage() const { return m_destImage.get(); }

    TluxAnimationState State() const { return m_state; }
    void SetState(TluxAnimationState S) { m_state = S; }
    void DoProgress(int) {}
    // Renames the component; OnNameChange follows (as it does for any rename).
    void SetName(const QString& Name) { setObjectName(Name); }

    // The list the animation belongs to: it is written inside that list.
    bool HasParent() const { return true; }
    QObject* GetParentComponent() const;
    // Leaves its present list, then joins C when C is a TluxAnimationList
    // (both defined beside the list, animationlist.cpp).
    void SetParentComponent(QObject* C);
    TluxAnimationList* ParentList() const { return m_parentList; }

    QWidget* FrozenControl() const { return m_frozenControl; }
    const TRect& FrozenRect() const { return m_frozenRect; }
    TCanvas* FrozenCanvas() const { return m_frozenCanvas; }

    TNotifyEvent OnStart;      // before a transition starts
    TNotifyEvent OnFinish;     // after a transition has ended
    TNotifyEvent OnNameChange; // after the component's name changed

private:
    friend class TluxAnimationList;
    void play(TCanvas* Canvas, int X, int Y, bool grabDest);
    void stopEngineSlots();

    TluxAnimationList* m_parentList = nullptr;
    std::unique_ptr<TluxBitmap> m_destImage;
    std::unique_ptr<TluxBitmap> m_sourceImage;
    QPointer<QWidget> m_frozenControl; // cleared should the control go away
    TRect m_frozenRect;
    TCanvas* m_frozenCanvas = nullptr;
    TluxAnimationState m_state = asNormal;
    bool m_restorePending = false;
    bool m_aborted = false;
};
