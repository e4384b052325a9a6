#pragma once
// A copy of the screen taken before a form was mapped no longer shows the
// windows of this program that were mapped after it: the splash is copied
// before its main window comes up beneath it. Those windows are drawn into the
// copy from their own rendering, so that what a show transition reveals the
// form over is what the screen now shows around it.

#include "platform/types.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class TluxBitmap;

// This program's top-level windows on the screen now, lock pop-ups aside.
QList<QPointer<QWidget>> WindowsOnScreen();

// Draws into `copy` (the screen rectangle screenRect at device pixel ratio
// `ratio`) the client areas of the windows on the screen now that were not in
// `before`, `form` itself aside.
void DrawWindowsShownSince(TluxBitmap& copy, const TRect& screenRect, qreal ratio,
                           const QList<QPointer<QWidget>>& before, const QWidget* form);
