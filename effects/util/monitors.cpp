#include "effects/util/monitors.h"

#include "effects/util/platformstate_p.h"
#include "effects/util/rectutils.h"
#include "platform/screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdint>

namespace {

bool monitorQueriesBound = false;

// Squared distance between a point and a rectangle (0 inside it).
int64_t distanceSquared(const TRect& r, const TPoint& p)
{
    const int64_t dx = p.X < r.Left ? int64_t(r.Left) - p.X : p.X >= r.Right ? int64_t(p.X) - (int64_t(r.Right) - 1) : 0;
    const int64_t dy = p.Y < r.Top ? int64_t(r.Top) - p.Y : p.Y >= r.Bottom ? int64_t(p.Y) - (int64_t(r.Bottom) - 1) : 0;
    return dx * dx + dy * dy;
}

// Squared gap between two rectangles (0 when they touch or overlap).
int64_t distanceSquared(const TRect& a, const TRect& b)
{
    const int64_t dx = std::max<int64_t>({0, int64_t(a.Left) - b.Right, int64_t(b.Left) - a.Right});
    const int64_t dy = std::max<int64_t>({0, int64_t(a.Top) - b.Bottom, int64_t(b.Top) - a.Bottom});
    return dx * dx + dy * dy;
}

int64_t overlapArea(const TRect& a, const TRect& b)
{
    const int64_t w = int64_t(std::min(a.Right, b.Right)) - std::max(a.Left, b.Left);
    const int64_t h = int64_t(std::min(a.Bottom, b.Bottom)) - std::max(a.Top, b.Top);
    return (w > 0 && h > 0) ? w * h : 0;
}

TRect screenRect(const QScreen* screen, bool workArea)
{
    return TRect::fromQRect(workArea ? screen->availableGeometry() : screen->geometry());
}

// The multi-monitor case: more than one screen and the queries bound.
bool multiMonitor()
{
    const int count = GetSystemMetrics(SM_CMONITORS);
    return monitorQueriesBound && count != 0 && count != 1;
}

std::vector<TRect> monitorRects(const QList<QScreen*>& screens)
{
    std::vector<TRect> rects;
    rects.reserve(size_t(screens.size()));
    for (const QScreen* s : screens)
        rects.push_back(screenRect(s, false));
    return rects;
}

} // namespace

namespace luxplatform {
void bindMonitorQueries(bool bind)
{
    monitorQueriesBound = bind;
}
} // namespace luxplatform

int nearestMonitorToPoint(const std::vector<TRect>& monitors, const TPoint& P)
{
    int best = 0;
    for (int i = 1; i < int(monitors.size()); ++i) {
        if (distanceSquared(monitors[size_t(i)], P) < distanceSquared(monitors[size_t(best)], P))
            best = i;
    }
    return best;
}

int nearestMonitorToRect(const std::vector<TRect>& monitors, const TRect& R)
{
    if (IsRectEmpty(R))
        return nearestMonitorToPoint(monitors, R.TopLeft());
    int best = -1;
    int64_t bestArea = 0;
    for (int i = 0; i < int(monitors.size()); ++i) {
        const int64_t area = overlapArea(monitors[size_t(i)], R);
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    if (best >= 0)
        return best;
    best = 0;
    for (int i = 1; i < int(monitors.size()); ++i) {
        if (distanceSquared(monitors[size_t(i)], R) < distanceSquared(monitors[size_t(best)], R))
            best = i;
    }
    return best;
}

TRect GetRectOfPrimaryMonitor(const bool WorkArea)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return screenRect(screen, WorkArea);
    }
    // No screen to ask: the screen size as the metrics know it.
    return TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

TRect GetRectOfMonitorContainingRect(const TRect& R, const bool WorkArea)
{
    if (!multiMonitor())
        return GetRectOfPrimaryMonitor(WorkArea);
    const QList<QScreen*> screens = QGuiApplication::screens();
    return screenRect(screens[nearestMonitorToRect(monitorRects(screens), R)], WorkArea);
}

TRect GetRectOfMonitorContainingPoint(const TPoint& P, const bool WorkArea)
{
    if (!multiMonitor())
        return GetRectOfPrimaryMonitor(WorkArea);
    const QList<QScreen*> screens = QGuiApplication::screens();
    return screenRect(screens[nearestMonitorToPoint(monitorRects(screens), P)], WorkArea);
}

TRect GetRectOfMonitorContainingWindow(QWidget* Window, const bool WorkArea)
{
    if (!multiMonitor() || !Window)
        return GetRectOfPrimaryMonitor(WorkArea);
    const QRect outer = Window->isWindow() ? Window->frameGeometry() : QRect(Window->mapToGlobal(QPoint(0, 0)), Window->size());
    return GetRectOfMonitorContainingRect(TRect::fromQRect(outer), WorkArea);
}
