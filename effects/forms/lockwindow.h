#pragma once
// Lock windows: windows that show a fixed picture over a control while the
// control changes beneath them, and on whose canvas a transition is drawn.
//
// TluxLockControl is a child widget placed over part of a control in the same
// parent. TluxLockPopup is a frameless top-level window over a form: above
// ordinary windows, without a task-bar entry, never taking the activation or
// the focus. Neither ever shows a background colour: they paint only their
// picture.

#include "platform/canvas.h"
#include "platform/devicecontext.h"

#include <QImage>
#include <QWidget>

#include <memory>

class TluxBitmap;

class TluxLockControl : public QWidget {
    Q_OBJECT
public:
    explicit TluxLockControl(QWidget* parent = nullptr);
    ~TluxLockControl() override;

    // The picture the window shows; the caller keeps ownership and keeps it
    // alive while the window exists.
    TluxBitmap* LockBitmap = nullptr;

    // The canvas drawing onto this window: a window device context over the
    // window's backing image, which starts as LockBitmap drawn at (0, 0).
    // Whatever is drawn on it is what the window shows from then on. Created on
    // the first call, once the window has its size; valid for the window's life.
    TCanvas* Canvas();

protected:
    TluxLockControl(QWidget* parent, Qt::WindowFlags flags);
    // Draws LockBitmap at (0, 0) and nothing else; there is no background erase.
    void paintEvent(QPaintEvent* event) override;

private:
    HDC m_dc = nullptr;
    std::unique_ptr<TCanvas> m_canvas;
    QImage m_paintBuffer; // LockBitmap drawn as a device context draws it
};

// A lock inside the form it covers, for forms whose transitions are drawn in
// their own translucent window: the window shows what it paints, and where its
// picture is Unrevealed (seethrough.h) the window is see-through, so the desktop
// shows through it. Revealed is the picture a transition reveals (not owned);
// while it is null, only Unrevealed pixels are see-through.
class TluxLockInside : public TluxLockControl {
    Q_OBJECT
public:
    explicit TluxLockInside(QWidget* form);

    const TluxBitmap* Revealed = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TluxLockPopup : public TluxLockControl {
    Q_OBJECT
public:
    // A top-level window: frameless, stays on top, bypasses the window manager
    // (so it has no task-bar entry and is never activated), takes no focus.
    TluxLockPopup();
};
