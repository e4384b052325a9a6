#include "effects/forms/lockwindow.h"

#include "effects/bitmap/luxbitmap.h"
#include "effects/forms/seethrough.h"
#include "platform/devicepixels.h"

#include <QApplication>
#include <QPainter>

// LockBitmap and the canvas (a window device context, whose backing image has
// the window's device pixels) both address device pixels: on a screen of ratio
// 2 the picture of a lock 100 wide is 200 wide, and reaches the screen 1:1.

TluxLockControl::TluxLockControl(QWidget* parent) : TluxLockControl(parent, Qt::WindowFlags()) {}

TluxLockControl::TluxLockControl(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    // Every paint covers the whole window with the picture: nothing is erased
    // first, so no background colour ever shows.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    // Its own colours and font, not its parent's.
    setPalette(QApplication::palette());
    setFont(QApplication::font());
    setFocusPolicy(Qt::NoFocus);
}

TluxLockControl::~TluxLockControl()
{
    m_canvas.reset();
    ReleaseDC(this, m_dc);
}

TCanvas* TluxLockControl::Canvas()
{
    if (!m_canvas) {
        m_dc = GetDC(this);
        // The backing image starts as the picture, whatever size the window had
        // when it was made.
        if (LockBitmap && !LockBitmap->Empty())
            LockBitmap->Draw(m_dc, 0, 0);
        m_canvas = std::make_unique<TCanvas>(m_dc);
    }
    return m_canvas.get();
}

void TluxLockControl::paintEvent(QPaintEvent*)
{
    if (!LockBitmap || LockBitmap->Empty())
        return;
    // The picture has the window's device pixels, as its canvas has.
    const qreal ratio = DevicePixelRatioOf(this);
    const QSize device = ToDevicePixels(size(), ratio);
    if (m_paintBuffer.size() != device) {
        m_paintBuffer = QImage(device, QImage::Format_ARGB32);
        m_paintBuffer.fill(0xFF000000u);
    }
    DeviceContext dc(&m_paintBuffer);
    LockBitmap->Draw(&dc, 0, 0);
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    // Window pixels have no alpha: the colour of every pixel shows, whatever its alpha byte.
    p.drawImage(0, 0, DevicePixelView(m_paintBuffer, ratio, QImage::Format_RGB32));
}

TluxLockInside::TluxLockInside(QWidget* form) : TluxLockControl(form, Qt::WindowFlags())
{
    // Its pixels go to the window with their alpha; the window surface leaves
    // the painting to paintEvent.
    setAttribute(Qt::WA_TranslucentBackground);
}

void TluxLockInside::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    // The frame drawn on the canvas; before the first one, the picture. Both
    // have the window's device pixels.
    const qreal ratio = DevicePixelRatioOf(this);
    const auto drawDevicePixels = [&](const QImage& frame) {
        QImage seeThrough = SeeThroughFrame(frame, Revealed);
        seeThrough.setDevicePixelRatio(ratio);
        p.drawImage(0, 0, seeThrough);
    };
    if (const QImage* frame = WindowSurfaceImage(this)) {
        drawDevicePixels(*frame);
    } else if (LockBitmap && !LockBitmap->Empty()) {
        QImage picture;
        LockBitmap->AssignTo(picture);
        drawDevicePixels(picture);
    } else {
        p.fillRect(rect(), Qt::transparent);
    }
}

TluxLockPopup::TluxLockPopup()
    : TluxLockControl(nullptr,
          Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint
              | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
}
