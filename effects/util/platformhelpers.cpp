#include "effects/util/platformhelpers.h"

#include "effects/util/platformstate_p.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#define LUX_HAVE_XLIB 1
#endif

namespace luxplatform {
bool isWinNT = false;
bool isWinNT4 = false;
bool isWin2k = false;
bool isWinXP = false;
bool isMsImg = false;
} // namespace luxplatform

SetLayeredWindowAttributesProc SetLayeredWindowAttributes = nullptr;
UpdateLayeredWindowProc UpdateLayeredWindow = nullptr;
TransparentBltProc TransparentBltFunc = nullptr;

namespace {

enum class Phase { NotStarted, Started, Stopped };
Phase phase = Phase::NotStarted;

bool setLayeredWindowAttributes(QWidget* hwnd, uint32_t /*crKey*/, uint8_t bAlpha, uint32_t dwFlags)
{
    if (!hwnd || !hwnd->isWindow())
        return false;
    if (dwFlags & LWA_ALPHA)
        hwnd->setWindowOpacity(bAlpha / 255.0);
    // Keying out a colour is not something the window system offers here.
    return (dwFlags & LWA_COLORKEY) == 0;
}

} // namespace

bool IsWinNT() { return luxplatform::isWinNT; }
bool IsWinNT4() { return luxplatform::isWinNT4; }
bool IsWin2k() { return luxplatform::isWin2k; }
bool IsWinXP() { return luxplatform::isWinXP; }
bool IsMsImg() { return luxplatform::isMsImg; }

bool windowSystemHasTranslucency()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return false;
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return true; // Wayland compositors always blend windows
#ifdef LUX_HAVE_XLIB
    if (auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>()) {
        // An X11 compositing manager owns the _NET_WM_CM_S<screen> selection.
        Display* display = x11->display();
        if (!display)
            return false;
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
        const Atom atom = XInternAtom(display, name.constData(), False);
        return atom != 0 && XGetSelectionOwner(display, atom) != 0;
    }
#endif
    return false;
}

void startPlatformHelpers()
{
    if (phase != Phase::NotStarted)
        return;
    phase = Phase::Started;

    // 1. Version: text is Unicode throughout; there is no NT 4.
    luxplatform::isWinNT = true;
    luxplatform::isWinNT4 = false;

    // 2. Layered windows: constant opacity where the window system can blend.
    if (windowSystemHasTranslucency())
        SetLayeredWindowAttributes = setLayeredWindowAttributes;
    luxplatform::isWin2k = SetLayeredWindowAttributes != nullptr;

    // 3. and 4. The theme lock exists already; take the first hold on the style engine.
    AcquireThemeModule();

    // 5. Monitors.
    luxplatform::bindMonitorQueries(true);

    // 6. Image library: none here, so IsMsImg stays false and TransparentBltFunc null.
    luxplatform::isMsImg = false;

    // 7. Scroll bars.
    luxplatform::bindScrollBarQuery(true);
}

void stopPlatformHelpers()
{
    if (phase != Phase::Started)
        return;
    phase = Phase::Stopped;
    luxplatform::bindMonitorQueries(false);
    luxplatform::bindScrollBarQuery(false);
    while (themeModuleUsers() > 0)
        ReleaseThemeModule();
}
