#pragma once
// Where a form's show transition is drawn on this desktop, decided once per run.
//
// ScreenCopy: the screen under the form is copied before the form is mapped and
// a pop-up over the form plays the transition from that copy (X11 without a
// compositor, where nothing else could show what lies behind).
// InWindow: the transition is drawn inside the form itself on a translucent
// surface; what the effect has not yet revealed is see-through, so the
// compositor shows the live desktop behind it. This serves where the screen
// cannot be read (Wayland) or reads back black (a rootless Xwayland).

#include <QImage>
#include <QLoggingCategory>
#include <QStringView>

Q_DECLARE_LOGGING_CATEGORY(lcTransitions)

enum class TransitionSurface { ScreenCopy, InWindow };

// The choice for a platform plugin name ("xcb", "wayland", ...), whether the X
// server is Xwayland, whether a compositing manager runs and whether a copy of
// the screen came back all black. `forced` is the value of
// LUX_TRANSITION_SURFACE ("copy" or "window"; anything else is no choice).
TransitionSurface chooseTransitionSurface(QStringView platform, bool xwayland, bool compositor, bool blackCopy,
                                          QStringView forced);

// Whether every pixel of the picture is black (its alpha aside); an empty picture is.
bool allBlack(const QImage& picture);

// The choice for this run, made on the first call (it names its reasons in the
// "lux.transitions" debug log). Needs the application object.
TransitionSurface TransitionSurfaceOfThisRun();
