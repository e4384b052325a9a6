#pragma once
// The frame a window manager puts around a top-level window.
//
// Qt learns a window's frame only once the window manager has framed it, and
// forgets it when the window is hidden. A transition that covers a window about
// to be shown has to know before that where the frame and the client area will
// be, so the window manager is asked in advance (the EWMH frame-extents request,
// answered before the window is mapped).

#include <QMargins>
#include <QPoint>

#include <optional>

class QWidget;

// The frame widths (left, top, right, bottom) around Window's client area: as Qt
// knows them for a framed window on the screen, else as the window manager will
// draw them. Zero for a child widget, a window that bypasses the window manager,
// and where no window manager answers (a bare X server, other platforms).
QMargins WindowManagerFrame(QWidget* Window);

// Whether a window manager runs that frames Window but did not say before
// mapping what frame it gives it (weston's X window manager): the window's
// place is then known only once it is mapped.
bool WindowManagerFrameUnknown(QWidget* Window);

// Where Window's client area has its top-left corner on the screen, as the X
// server has it now (logical pixels). The window manager places a mapped window
// where it likes; Qt may learn of it late or not at all (weston's X window
// manager), or place the client where Qt's geometry says while the frame grows
// outwards. No value off X11 or before the native window exists.
std::optional<QPoint> ClientOriginOnScreen(QWidget* Window);
