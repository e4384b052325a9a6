#pragma once
// Where the splash window, the main window and the About box appear when the
// desktop has more than one monitor.

class QScreen;
class QWidget;

// The screen the tool starts on: the one under the pointer, else the primary.
// The splash and the main window both go there, as a window manager that
// places new windows by the pointer puts the main window there too.
QScreen* StartupScreen();

// The screen of the application's main window for a box opened over it: the
// active window's, else that of a visible plain top-level window other than
// `box`, else the primary.
QScreen* MainWindowScreen(const QWidget* box);

// Places `window` on `screen` (when there is one) with the centre of its client
// area on the screen's centre.
void CentreOnScreen(QWidget* window, QScreen* screen);
