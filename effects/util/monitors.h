#pragma once
// Monitor rectangles in screen coordinates, from the application's screens.
// WorkArea true: the screen's available geometry (without panels and task bars);
// false: the whole screen.

#include "platform/types.h"

#include <vector>

class QWidget;

// The primary screen's rectangle; with no screen, (0, 0, 0, 0).
TRect GetRectOfPrimaryMonitor(const bool WorkArea);

// The rectangle of the screen the argument lies on, or of the nearest one when it
// lies on none. With a single screen, or before startPlatformHelpers() and after
// stopPlatformHelpers(), these answer GetRectOfPrimaryMonitor(WorkArea).
TRect GetRectOfMonitorContainingRect(const TRect& R, const bool WorkArea);
TRect GetRectOfMonitorContainingPoint(const TPoint& P, const bool WorkArea);
// For a window: the screen holding most of its outer rectangle (frame included).
TRect GetRectOfMonitorContainingWindow(QWidget* Window, const bool WorkArea);

// The choice of screen, on a list of screen rectangles (at least one):
// a point picks the screen that contains it, else the one at the smallest distance;
// a rectangle picks the screen it overlaps most, else the one at the smallest
// distance. Ties go to the earlier screen.
int nearestMonitorToPoint(const std::vector<TRect>& monitors, const TPoint& P);
int nearestMonitorToRect(const std::vector<TRect>& monitors, const TRect& R);
