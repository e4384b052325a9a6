#pragma once
// A picture the window system shows in a top-level window before the window
// has painted anything.
//
// A newly mapped window shows whatever its background is until its first paint
// reaches the screen: under a compositing manager that is black or garbage, and
// without one the pixels that were there. A window that must look right from
// the moment it is mapped (a lock pop-up showing the screen as it was) gets its
// picture as its native background.

class QImage;
class QWidget;

// Makes Picture (drawn at the window's top-left corner, alpha ignored) the
// native background of Window, creating the native window if needed. Does
// nothing for a child widget, and where the window system has no such thing.
void SetNativeBackground(QWidget* Window, const QImage& Picture);
