#pragma once
// Nested mouse capture: the outermost CaptureMouse grabs the mouse, inner ones
// only count, and the matching EndCapture releases it.

#include <QPointer>
#include <QWidget>

#include <cstdint>

// The window the outermost CaptureMouse gave the mouse to; null when none
// (also when that window has been destroyed since).
extern QPointer<QWidget> CaptureHandle;
// CaptureMouse calls not yet matched by EndCapture (negative after unmatched ends).
extern int32_t CaptureCount;

// When no capture is in progress, gives Window the mouse; counts every call.
void CaptureMouse(QWidget* Window);
// Counts one capture down; at zero, releases the mouse if CaptureHandle still
// holds it and forgets CaptureHandle.
void EndCapture();
