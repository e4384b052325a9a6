#include "effects/util/transitionsurface.h"

#include "effects/util/platformhelpers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>

#include <optional>

#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#define LUX_HAVE_XLIB 1
#endif

Q_LOGGING_CATEGORY(lcTransitions, "lux.transitions")

namespace {

// Xwayland announces itself with an extension of its name (from version 23),
// and names its outputs XWAYLAND0, XWAYLAND1, ...
bool xServerIsXwayland()
{
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->name().startsWith(QLatin1String("XWAYLAND")))
            return true;
#ifdef LUX_HAVE_XLIB
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    int opcode = 0, event = 0, error = 0;
    return display && XQueryExtension(display, "XWAYLAND", &opcode, &event, &error);
#else
    return false;
#endif
}

} // namespace

TransitionSurface chooseTransitionSurface(QStringView platform, bool xwayland, bool compositor, QStringView forced)
{
    if (forced == u"copy")
        return TransitionSurface::ScreenCopy;
    if (forced == u"window")
        return TransitionSurface::InWindow;
    if (platform.startsWith(u"wayland"))
        return TransitionSurface::InWindow; // no client may read the screen
    if (platform == u"xcb" && xwayland)
        return TransitionSurface::InWindow; // a rootless server has no root contents: copies are black
    // A compositing manager blends the window with the live desktop as it
    // is, faded or dimmed; without one there is nothing to blend with.
    if (platform == u"xcb" && compositor)
        return TransitionSurface::InWindow;
    return TransitionSurface::ScreenCopy;
}

bool RunsOnXwayland()
{
    static const bool xwayland = QGuiApplication::platformName() == QLatin1String("xcb") && xServerIsXwayland();
    return xwayland;
}

bool ScreenCopiesOfThisRun()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") && !RunsOnXwayland();
}

TransitionSurface TransitionSurfaceOfThisRun()
{
    static std::optional<TransitionSurface> chosen;
    if (chosen)
        return *chosen;
    const QString platform = QGuiApplication::platformName();
    const bool xwayland = RunsOnXwayland();
    const bool compositor = windowSystemHasTranslucency();
    const QString forced = qEnvironmentVariable("LUX_TRANSITION_SURFACE");
    chosen = chooseTransitionSurface(platform, xwayland, compositor, forced);
    qCDebug(lcTransitions).nospace().noquote()
        << "transitions are drawn "
        << (*chosen == TransitionSurface::InWindow ? "inside their windows over the live desktop"
                                                   : "on a pop-up from a copy of the screen")
        << " (platform " << platform << ", Xwayland " << xwayland << ", compositor " << compositor
        << (forced.isEmpty() ? QString() : ", LUX_TRANSITION_SURFACE=" + forced) << ")";
    return *chosen;
}
