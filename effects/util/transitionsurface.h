#pragma once
// Where a form's show transition is drawn on this desktop, decided once per run.
//
// ScreenCopy: the screen under the form is copied before the form is mapped and
// a pop-up over the form plays the transition from that copy (X11 without a
// compositor, where nothing else could show what lies behind).
// InWindow: the transition is drawn inside the form itself on a translucent
// surface; what the effect has not yet revealed is see-through, so the
// compositor shows the live desktop behind it. This serves where the screen
// cannot be read (Wayland) or reads back black (a rootless Xwayland), and
// wherever a compositor runs: there a pop-up would be one more window that
// the compositor fades in and out, and its copy of the windows below would
// not follow what the compositor does to them (dimming, fading).

#include <QLoggingCategory>
#include <QStringView>

Q_DECLARE_LOGGING_CATEGORY(lcTransitions)

enum class TransitionSurface { ScreenCopy, InWindow };

// The choice for a platform plugin name ("xcb", "wayland", ...), whether the X
// server is Xwayland and whether a compositing manager runs. `forced` is the
// value of LUX_TRANSITION_SURFACE ("copy" or "window"; anything else is no
// choice).
TransitionSurface chooseTransitionSurface(QStringView platform, bool xwayland, bool compositor, QStringView forced);

// The choice for this run, made on the first call (it names its reasons in the
// "lux.transitions" debug log). Needs the application object.
TransitionSurface TransitionSurfaceOfThisRun();

// Whether this run's X server is Xwayland (false off X11). Asked once.
bool RunsOnXwayland();

// Whether this run can copy the screen at all (an X server that is not
// Xwayland). Where transitions are drawn inside their windows, a form's plain
// hide is still played from such a copy, taken when the form was shown.
bool ScreenCopiesOfThisRun();
