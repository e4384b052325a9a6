#pragma once
// SIGINT, SIGTERM and SIGHUP (Ctrl-C, a polite kill, a closed terminal)
// turned into a call on the event loop: the program then ends as it would on
// Stop or Quit, so open ports are closed and their lock files removed instead
// of being left behind for the next user.

#include <QObject>

#include <functional>

// From now on those signals end nothing at once: each waits to be taken
// (false when they could not be caught).
bool HoldEndSignals();
// Whether one came since the last look; it is taken.
bool TakeEndSignal();
// From now on each of those signals calls `onSignal` on `context`'s thread,
// between events (one that came earlier, untaken, calls it at once).
void CatchEndSignals(QObject* context, std::function<void()> onSignal);
