#pragma once
// Windows of plain colours at fixed places under an X server without a window
// manager, and a wait for what the screen shows.

#include "platform/screen.h"
#include "tests/support/testsupport.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QWidget>

#include <functional>

namespace freezetest {

inline bool haveScreen()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// A widget that paints itself in one colour and counts its paints.
class SolidWidget : public QWidget {
public:
    explicit SolidWidget(QColor color, QWidget* parent = nullptr, Qt::WindowFlags flags = {})
        : QWidget(parent, flags), m_color(color)
    {
    }
    void setColor(QColor color)
    {
        m_color = color;
        update();
    }
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        QPainter(this).fillRect(rect(), m_color);
    }

private:
    QColor m_color;
};

// A top-level window of one colour at a fixed screen rectangle.
inline SolidWidget* makeWindow(QColor color, const QRect& geometry)
{
    auto* w = new SolidWidget(color, nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    w->setGeometry(geometry);
    return w;
}

// Processes events until pred holds or about 3 s have passed; returns pred().
inline bool waitUntil(const std::function<bool()>& pred, int ms = 3000)
{
    QDeadlineTimer deadline(ms);
    while (!pred() && !deadline.hasExpired())
        luxtest::processEventsFor(20);
    return pred();
}

inline QImage screenAt(const QRect& r)
{
    return CaptureScreen(TRect::fromQRect(r)).convertToFormat(QImage::Format_RGB32);
}

// Whether every pixel of the screen rectangle r has colour c.
inline bool screenIs(const QRect& r, QColor c)
{
    QImage expected(r.size(), QImage::Format_RGB32);
    expected.fill(c);
    return luxtest::differingPixels(screenAt(r), expected) == 0;
}

inline bool screenShows(const QRect& r, const QImage& picture)
{
    return luxtest::differingPixels(screenAt(r), picture.convertToFormat(QImage::Format_RGB32)) == 0;
}

// Shows w and waits until the screen at `probe` (screen coordinates) has colour c.
inline bool showAndWait(QWidget* w, const QRect& probe, QColor c)
{
    w->show();
    return waitUntil([&] { return screenIs(probe, c); });
}

} // namespace freezetest
