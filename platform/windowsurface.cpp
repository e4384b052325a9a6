// Window device contexts. Qt widgets paint themselves; to let code draw into a
// window the way a window device context allows, each widget that is drawn into
// gets a backing image. An event filter paints that image in place of the
// widget's own contents, and every drawing call through the context repaints it.
//
// The backing image holds the window's device pixels (a 2× screen gives it
// twice the widget's logical width and height), so that what is drawn into it
// reaches the screen 1:1, as sharp as the widget's own painting. Its
// contexts address those device pixels: a window 100 wide has a context 200
// wide there.

#include "platform/devicecontext.h"
#include "platform/devicepixels.h"

#include <QEvent>
#include <QHash>
#include <QPainter>
#include <QPointer>
#include <QWidget>

namespace {

class WindowSurface : public QObject {
public:
    explicit WindowSurface(QWidget* widget)
        : QObject(widget), m_widget(widget), m_ratio(DevicePixelRatioOf(widget))
    {
        m_image = QImage(deviceSize(), QImage::Format_ARGB32);
        m_image.fill(0xFF000000u);
        // Start from what the widget would paint, so partial drawing looks right.
        m_image.setDevicePixelRatio(m_ratio);
        widget->render(&m_image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        m_image.setDevicePixelRatio(1); // contexts address its pixels
        widget->installEventFilter(this);
    }

    QImage* image() { return &m_image; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A translucent widget paints its image itself, alpha and all.
        if (watched == m_widget && event->type() == QEvent::Paint
            && !m_widget->testAttribute(Qt::WA_TranslucentBackground)) {
            // A window shows colours only: the alpha byte drawn into its
            // context (often 0 in copied pixels) must not darken the screen.
            const QImage opaque = DevicePixelView(m_image, m_ratio, QImage::Format_RGB32);
            QPainter p(m_widget);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, opaque);
            return true;
        }
        if (watched == m_widget && event->type() == QEvent::Resize && deviceSize() != m_image.size()) {
            QImage bigger(deviceSize(), QImage::Format_ARGB32);
            bigger.fill(0xFF000000u);
            QPainter p(&bigger);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, m_image);
            p.end();
            // Contexts hold a pointer to m_image, which stays valid across this assignment.
            m_image = bigger;
        }
        return false;
    }

private:
    QSize deviceSize() const { return ToDevicePixels(m_widget->size().expandedTo(QSize(1, 1)), m_ratio); }

    QWidget* m_widget;
    qreal m_ratio;
    QImage m_image;
};

class WindowDC : public DeviceContext {
public:
    WindowDC(QWidget* widget, QImage* image) : DeviceContext(image)
    {
        m_window = widget;
        m_state.font = widget->font();
    }
};

QHash<QWidget*, WindowSurface*>& surfaces()
{
    static QHash<QWidget*, WindowSurface*> map;
    return map;
}

WindowSurface* surfaceFor(QWidget* widget)
{
    auto& map = surfaces();
    auto it = map.find(widget);
    if (it != map.end())
        return it.value();
    auto* s = new WindowSurface(widget);
    map.insert(widget, s);
    QObject::connect(widget, &QObject::destroyed, [widget] { surfaces().remove(widget); });
    return s;
}

} // namespace

HDC GetDC(QWidget* widget)
{
    if (!widget)
        return nullptr;
    return new WindowDC(widget, surfaceFor(widget)->image());
}

void ReleaseDC(QWidget* widget, HDC dc)
{
    if (dc && dc->window() == widget)
        delete dc;
}

void DetachWindowSurface(QWidget* widget)
{
    auto& map = surfaces();
    auto it = map.find(widget);
    if (it == map.end())
        return;
    WindowSurface* s = it.value();
    map.erase(it);
    widget->removeEventFilter(s);
    delete s;
    widget->update();
}

QImage* WindowSurfaceImage(QWidget* widget)
{
    auto it = surfaces().find(widget);
    return it == surfaces().end() ? nullptr : it.value()->image();
}
