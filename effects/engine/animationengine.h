#pragma once
// The animation engine: up to 201 transitions running at once, each drawn frame by frame onto a
// canvas by one 20 ms engine timer on the GUI thread.

#include "effects/engine/animationslot.h"

#include <QObject>

class QTimer;
class TCanvas;
class TluxAnimationRec;
class TluxBitmap;

inline constexpr int luxAnimationSlots = 201; // indices 0 .. 200
inline constexpr int luxEngineInterval = 20;  // milliseconds between engine timer ticks

// Owner of the engine timer's tick handler.
class TluxMultiObject : public QObject
{
public:
    using QObject::QObject;
    // One tick: a frame for every active slot, then every slot's clock advanced by the time the
    // tick took. A failure in a frame propagates (that slot's busy flag is cleared first).
    void OnTimer();
};

extern QTimer* EngineTimer;          // interval 20 ms, enabled while any slot is active
extern TluxMultiObject* MultiObject; // owner of the tick handler

// Start-up step: creates the engine timer (disabled) and its owner. Shut-down step: frees both;
// running animations are not stopped (no tick reaches them any more).
void StartAnimationEngine();
void ShutDownAnimationEngine();

// Starts an animation of Source turning into Dest on Canvas at (X, Y) in slot Index, or in the
// first slot neither active nor reserved when Index is -1. Returns the slot's index, or -1 when
// no slot is free (or Index is out of range or names an active slot). The slot stays inactive
// when Source, Dest or Settings is missing, a picture is empty, or the effect is unknown.
int StartMultiAnimation(TCanvas* Canvas, int X, int Y, TluxBitmap* Source, TluxBitmap* Dest,
                        TluxAnimationRec* Settings, int Index);
// Ends the slot's animation; with Draw the current frame is drawn once more first.
void StopMultiAnimation(int Index, bool Draw);
bool IsAnimating(int Index);
// Keeps a slot away from automatic allocation; -1 when every slot is active or reserved.
int ReserveIndex();
void ReleaseReserved(int Index);
// Starts an animation and processes events until it has finished; returns false then. The
// caller draws Dest afterwards.
bool ExecuteAnimation(TCanvas* Canvas, int X, int Y, TluxBitmap* Source, TluxBitmap* Dest,
                      TluxAnimationRec* Settings);

// The slot table, for inspection.
const TluxAnimationSlot& animationSlot(int index);
// Frees every slot's buffers and empties the table, as at start-up.
void resetAnimationSlots();
// The progress of a slot's next frame for its clock: Round(clock / Time * 100), at most 100.
int animationProgress(float clock, int time);
