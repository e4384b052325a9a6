#include "effects/util/transitionsurface.h"

#include "effects/util/platformhelpers.h"
#include "platform/screen.h"

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

// A copy of the whole primary screen, asked once: where it comes back all
// black the X server has no contents to give (a rootless server that does not
// name itself, or a compositor that keeps its picture to itself).
bool screenCopiesBlack()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen && allBlack(CaptureScreen(TRect::fromQRect(screen->geometry())));
}

} // namespace

bool allBlack(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if (line[x] & 0x00FFFFFFu)
                return false;
    }
    return true;
}

TransitionSurface chooseTransitionSurface(QStringView platform, bool xwayland, bool compositor, bool blackCopy,
                                          QStringView forced)
{
    if (forced == u"copy")
        return TransitionSurface::ScreenCopy;
    if (forced == u"window")
        return TransitionSurface::InWindow;
    if (platform.startsWith(u"wayland"))
        return TransitionSurface::InWindow; // no client may read the screen
    if (platform == u"xcb" && xwayland)
        return TransitionSurface::InWindow; // a rootless server has no root contents: copies are black
    // A black copy would flash as a black rectangle; a compositing manager
    // blends the window with the live desktop instead. Without one a black
    // copy is simply what the screen shows.
    if (platform == u"xcb" && compositor && blackCopy)
        return TransitionSurface::InWindow;
    return TransitionSurface::ScreenCopy;
}

TransitionSurface TransitionSurfaceOfThisRun()
{
    static std::optional<TransitionSurface> chosen;
    if (chosen)
        return *chosen;
    const QString platform = QGuiApplication::platformName();
    const bool xwayland = platform == QLatin1String("xcb") && xServerIsXwayland();
    const bool compositor = windowSystemHasTranslucency();
    const QString forced = qEnvironmentVariable("LUX_TRANSITION_SURFACE");
    // Copying the screen costs a moment: only asked where the answer counts.
    const bool probe = platform == QLatin1String("xcb") && !xwayland && compositor && forced.isEmpty();
    const bool blackCopy = probe && screenCopiesBlack();
    chosen = chooseTransitionSurface(platform, xwayland, compositor, blackCopy, forced);
    qCDebug(lcTransitions).nospace().noquote()
        << "transitions are drawn "
        << (*chosen == TransitionSurface::InWindow ? "inside their windows over the live desktop"
                                                   : "on a pop-up from a copy of the screen")
        << " (platform " << platform << ", Xwayland " << xwayland << ", compositor " << compositor
        << (probe ? (blackCopy ? ", a copy of the screen comes back all black" : ", a copy of the screen has colours")
                  : "")
        << (forced.isEmpty() ? QString() : ", LUX_TRANSITION_SURFACE=" + forced) << ")";
    return *chosen;
}
