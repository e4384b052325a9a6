#include "effects/engine/animationengine.h"

#include "effects/engine/framecomposer.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/engine/luxtimer.h"
#include "effects/util/guithread.h"
#include "effects/util/rowbands.h"

#include "platform/arith.h"
#include "platform/canvas.h"

#include <QCoreApplication>
#include <QTimer>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>

QTimer* EngineTimer = nullptr;
TluxMultiObject* MultiObject = nullptr;

namespace {

std::array<TluxAnimationSlot, luxAnimationSlots> slotTable;

bool validIndex(int index)
{
    return index >= 0 && index < luxAnimationSlots;
}

bool anyActive()
{
    for (const TluxAnimationSlot& s : slotTable)
        if (s.active)
            return true;
    return false;
}

// The timer runs exactly while some slot is active. A running timer keeps its phase.
void updateEngineTimer()
{
    if (!EngineTimer)
        return;
    if (!anyActive())
        EngineTimer->stop();
    else if (!EngineTimer->isActive())
        EngineTimer->start();
}

int firstFreeSlot()
{
    for (int i = 0; i < luxAnimationSlots; ++i)
        if (!slotTable[size_t(i)].active && !slotTable[size_t(i)].reserved)
            return i;
    return -1;
}

struct BusyGuard {
    TluxAnimationSlot& slot;
    ~BusyGuard() { slot.busy = false; }
};

void frameStep(int index)
{
    TluxAnimationSlot& s = slotTable[size_t(index)];
    if (!s.dest || !s.source || !s.work || !s.active)
        return;
    // The tick's 20 ms; OnTimer adds the tick's drawing time on top.
    s.clock += float(luxEngineInterval);
    if (s.busy)
        return;
    s.busy = true;
    const BusyGuard guard{s};
    const int P = animationProgress(s.clock, s.settings->Time);
    composeFrame(s, P);
    if (s.canvas)
        s.work->Draw(s.canvas, s.x, s.y);
    if (P == 100)
        StopMultiAnimation(index, false);
}

} // namespace

int animationProgress(float clock, int time)
{
    if (time <= 0)
        return 100;
    const int64_t P = RoundHalfEven(double(clock) / double(time) * 100.0);
    return P >= 100 ? 100 : int(std::max<int64_t>(P, 0));
}

void TluxMultiObject::OnTimer()
{
    const std::unique_ptr<TluxTimer> stopwatch = std::make_unique<TluxTimer>();
    stopwatch->Start();
    for (int i = 0; i < luxAnimationSlots; ++i)
        frameStep(i);
    stopwatch->Stop();
    // Drawing time counts as animation time beside the 20 ms frameStep added: where drawing is
    // slow, progress moves in larger steps over fewer frames instead of the transition dragging on.
    const float elapsed = float(stopwatch->GetElapsed() * 1000);
    for (TluxAnimationSlot& s : slotTable)
        s.clock += elapsed;
}

void StartAnimationEngine()
{
    if (EngineTimer)
        return;
    // The frame's row bands run on a small pool that lives as long as the engine.
    startRowBands();
    MultiObject = new TluxMultiObject;
    EngineTimer = new QTimer(MultiObject);
    EngineTimer->setTimerType(Qt::PreciseTimer);
    EngineTimer->setInterval(luxEngineInterval);
    QObject::connect(EngineTimer, &QTimer::timeout, MultiObject, [] {
        // An exception must not unwind through the event loop; the failing slot stays active
        // and the next tick tries it again.
        try {
            MultiObject->OnTimer();
        } catch (const std::exception& e) {
            qWarning("animation frame failed: %s", e.what());
        }
    });
}

void ShutDownAnimationEngine()
{
    delete MultiObject; // owns the timer
    MultiObject = nullptr;
    EngineTimer = nullptr;
    stopRowBands();
}

int StartMultiAnimation(TCanvas* Canvas, int X, int Y, TluxBitmap* Source, TluxBitmap* Dest,
                        TluxAnimationRec* Settings, int Index)
{
    if (!onGuiThread("StartMultiAnimation"))
        return -1;
    int index = Index;
    if (Index == -1) {
        index = firstFreeSlot();
        if (index < 0)
            return -1;
    } else if (!validIndex(Index) || slotTable[size_t(Index)].active) {
        return -1;
    }
    TluxAnimationSlot& s = slotTable[size_t(index)];
    if (!prepareAnimationSlot(s, Source, Dest, Settings))
        return index;
    s.clock = 0.01f; // not 0: a progress that would land exactly on a half rounds up, not to even
    s.active = true;
    s.busy = false;
    s.canvas = Canvas;
    s.x = X;
    s.y = Y;
    // Started before the engine's start-up step: the timer is created now.
    if (!EngineTimer && QCoreApplication::instance())
        StartAnimationEngine();
    updateEngineTimer();
    return index;
}

void StopMultiAnimation(int Index, bool Draw)
{
    if (!validIndex(Index))
        return;
    TluxAnimationSlot& s = slotTable[size_t(Index)];
    if (!s.dest || !s.source || !s.work || !s.active)
        return;
    settleDestAlpha(s);
    if (Draw && s.canvas && s.canvas->Handle()) {
        s.dest->AlphaBlend = true;
        s.dest->Draw(s.work.get(), 0, 0);
        s.work->Draw(s.canvas, s.x, s.y);
    }
    releaseAnimationSlot(s);
    s.active = false;
    updateEngineTimer();
}

bool IsAnimating(int Index)
{
    return validIndex(Index) && slotTable[size_t(Index)].active;
}

int ReserveIndex()
{
    const int index = firstFreeSlot();
    if (index >= 0)
        slotTable[size_t(index)].reserved = true;
    return index;
}

void ReleaseReserved(int Index)
{
    if (validIndex(Index))
        slotTable[size_t(Index)].reserved = false;
}

bool ExecuteAnimation(TCanvas* Canvas, int X, int Y, TluxBitmap* Source, TluxBitmap* Dest,
                      TluxAnimationRec* Settings)
{
    // Another thread has no engine timer: waiting there for its ticks would never end.
    if (!onGuiThread("ExecuteAnimation"))
        return false;
    const int index = StartMultiAnimation(Canvas, X, Y, Source, Dest, Settings, -1);
    // The engine timer is a queue timer: waiting for the next event wakes at its next tick.
    while (IsAnimating(index) && EngineTimer && EngineTimer->isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return IsAnimating(index);
}

const TluxAnimationSlot& animationSlot(int index)
{
    return slotTable.at(size_t(index));
}

void resetAnimationSlots()
{
    for (TluxAnimationSlot& s : slotTable) {
        releaseAnimationSlot(s);
        s = TluxAnimationSlot{};
    }
    updateEngineTimer();
}
