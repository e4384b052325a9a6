#pragma once
// The grabber registry and the grabs built on it: a widget tree rendered
// off-screen, and a copy of a screen rectangle.
//
// The registry is a process-wide list of grabber classes, searched from the
// newest entry to the oldest; TluxWControlGrabber serves what no entry matches.
// GUI thread only.

#include "effects/forms/grabber.h"
#include "effects/bitmap/luxbitmap.h"

#include <memory>
#include <vector>

// Appends Grabber to the registry (creating the registry when needed).
void RegisterGrabber(TluxGrabberClass Grabber);
// The registered classes, oldest first (empty before the first RegisterGrabber).
std::vector<TluxGrabberClass> RegisteredGrabbers();
// Frees the registry (subsystem shut-down); the classes themselves stay.
void FreeGrabberRegistry();

// The class that serves Control: the newest entry whose class type Control
// inherits (and whose kind test accepts it), or whose name list holds Control's
// class name in any case; TluxWControlGrabber when none does.
TluxGrabberClass FindGrabberClass(QWidget* Control);

// Draws Control and its visible child widgets into Bitmap, Control's corner at
// (X, Y); R is the wanted part in Control's coordinates. Each child is clipped to
// its parent's client area and keeps its position; children are drawn in
// stacking order, hidden ones and separate windows skipped.
void DrawControlTree(TBitmap* Bitmap, int X, int Y, const TRect& R, QWidget* Control);

// A bitmap of R's size showing the part R of Control (R's corner at the bitmap's
// (0, 0)); nothing is drawn when R has a width or height below 1.
std::unique_ptr<TBitmap> GrabToBitmap(QWidget* Control, const TRect& R);
// The same as a new TluxBitmap (empty for an R without area).
std::unique_ptr<TluxBitmap> GrabToLuBitmap(QWidget* Control, const TRect& R);
// A copy of the screen rectangle R, always of R's full size (black where R leaves the screens).
std::unique_ptr<TBitmap> GrabDesktopToBitmap(const TRect& R);
std::unique_ptr<TluxBitmap> GrabDesktopToLuBitmap(const TRect& R);

// A transition's pictures at the device pixels of the screen they are shown on
// (ratio: DevicePixelRatioOf the control), ToDevicePixels(R's size) large, so
// that its frames are as sharp as the window after it. At ratio 1 these are
// GrabToLuBitmap and GrabDesktopToLuBitmap. Above 1 Control's part R is the
// control's own rendering at that ratio, as its window shows it (the
// registered grabbers draw at logical pixels only).
std::unique_ptr<TluxBitmap> GrabToDeviceBitmap(QWidget* Control, const TRect& R, qreal ratio);
std::unique_ptr<TluxBitmap> GrabDesktopToDeviceBitmap(const TRect& R, qreal ratio);
// Control's part R as the control's own rendering at any ratio, 1 included:
// the picture of a form whose transition plays inside its window, where the
// frame around it is drawn by others (the compositor, or Qt's own decoration)
// and no grabber may paint one into it.
std::unique_ptr<TluxBitmap> RenderToDeviceBitmap(QWidget* Control, const TRect& R, qreal ratio);

// The subsystem's start-up step: registers the form, button, bitmap-button, check
// box, scroll box, memo and list box grabbers in that order; nothing when they
// are registered already.
void RegisterStandardGrabbers();
