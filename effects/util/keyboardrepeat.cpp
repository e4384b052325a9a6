#include "effects/util/keyboardrepeat.h"

#include "platform/arith.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>
#include <cstdlib>

#if __has_include(<X11/XKBlib.h>)
#include <X11/XKBlib.h>
#define LUX_HAVE_XKB 1
#endif

namespace {

template<typename Value>
int nearestSetting(int maxSetting, int wanted, Value value)
{
    int best = 0;
    for (int v = 1; v <= maxSetting; ++v) {
        if (std::abs(value(v) - wanted) < std::abs(value(best) - wanted))
            best = v;
    }
    return best;
}

} // namespace

int keyboardDelayForSetting(int v)
{
    return (v + 1) * 200;
}

int keyboardSpeedForSetting(int v)
{
    return int(RoundHalfEven(1000.0 / ((v + 1) * 2.3)));
}

int keyboardDelaySetting(int delayMs)
{
    return nearestSetting(3, delayMs, keyboardDelayForSetting);
}

int keyboardSpeedSetting(int intervalMs)
{
    return nearestSetting(31, intervalMs, keyboardSpeedForSetting);
}

KeyRepeatTiming platformKeyRepeat()
{
    KeyRepeatTiming timing;
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return timing;
    if (const int rate = QGuiApplication::styleHints()->keyboardAutoRepeatRate(); rate > 0)
        timing.intervalMs = std::max(1, int(RoundHalfEven(1000.0 / rate)));
#ifdef LUX_HAVE_XKB
    if (auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>()) {
        unsigned int delay = 0, interval = 0;
        if (x11->display() && XkbGetAutoRepeatRate(x11->display(), XkbUseCoreKbd, &delay, &interval)) {
            timing.delayMs = int(delay);
            timing.intervalMs = int(interval);
        }
    }
#endif
    return timing;
}

int GetKeyBoardDelayInterval()
{
    return keyboardDelayForSetting(keyboardDelaySetting(platformKeyRepeat().delayMs));
}

int GetKeyBoardSpeedInterval()
{
    return keyboardSpeedForSetting(keyboardSpeedSetting(platformKeyRepeat().intervalMs));
}
