#include "effects/util/windowframe.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHash>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <chrono>
#include <optional>
#include <thread>

#if __has_include(<X11/Xlib.h>)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#define LUX_HAVE_XLIB 1
#endif

namespace {

QMargins qtFrame(const QWidget* window)
{
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
}

bool bypassesWindowManager(const QWidget* window)
{
    const Qt::WindowType type = window->windowType();
    return (window->windowFlags() & Qt::X11BypassWindowManagerHint) || type == Qt::Popup || type == Qt::ToolTip;
}

#ifdef LUX_HAVE_XLIB

// How long a window manager that says it answers frame-extents requests gets
// to answer one. Openbox answers within a few milliseconds.
constexpr std::chrono::milliseconds AnswerWait(250);

Display* x11Display()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

Atom atom(Display* d, const char* name)
{
    return XInternAtom(d, name, False);
}

// _NET_FRAME_EXTENTS of the window (left, right, top, bottom), when it is set.
std::optional<QMargins> frameExtents(Display* d, Window w)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<QMargins> extents;
    if (XGetWindowProperty(d, w, atom(d, "_NET_FRAME_EXTENTS"), 0, 4, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data)
            == Success
        && data && format == 32 && count == 4) {
        const auto* v = reinterpret_cast<const long*>(data);
        extents = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
    }
    if (data)
        XFree(data);
    return extents;
}

// Whether a window manager runs that answers frame-extents requests.
bool managerAnswersRequests(Display* d)
{
    const Window root = DefaultRootWindow(d);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool answers = false;
    if (XGetWindowProperty(d, root, atom(d, "_NET_SUPPORTED"), 0, 4096, False, XA_ATOM, &type, &format, &count,
                           &after, &data)
            == Success
        && data && format == 32) {
        const Atom wanted = atom(d, "_NET_REQUEST_FRAME_EXTENTS");
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count && !answers; ++i)
            answers = atoms[i] == wanted;
    }
    if (data)
        XFree(data);
    return answers;
}

// Asks the window manager what frame it will give the (unmapped) window and
// waits a moment for the answer. The old answer is removed first, so the
// answer read is the new one.
std::optional<QMargins> askManager(Display* d, Window w)
{
    XDeleteProperty(d, w, atom(d, "_NET_FRAME_EXTENTS"));
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = w;
    request.xclient.message_type = atom(d, "_NET_REQUEST_FRAME_EXTENTS");
    request.xclient.format = 32;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureNotifyMask | SubstructureRedirectMask, &request);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        XSync(d, False);
        if (std::optional<QMargins> extents = frameExtents(d, w))
            return extents;
        if (clock.elapsed() > AnswerWait.count())
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool isMapped(Display* d, Window w)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(d, w, &attributes) && attributes.map_state != IsUnmapped;
}

// The frame a window manager gives a window of given flags does not change
// while it runs: one question per window and flags.
struct Answer {
    Qt::WindowFlags flags;
    QMargins frame;
    bool answered = false;
};
QHash<WId, Answer> answers;

// The window manager speaks in device pixels, Qt's geometry in logical ones.
QMargins logical(const QMargins& device, const QWidget* window)
{
    const qreal ratio = window->devicePixelRatioF();
    if (ratio == 1.0)
        return device;
    auto scaled = [ratio](int v) { return qRound(v / ratio); };
    return QMargins(scaled(device.left()), scaled(device.top()), scaled(device.right()), scaled(device.bottom()));
}

QMargins managerFrame(QWidget* window)
{
    Display* d = x11Display();
    if (!d || !window->testAttribute(Qt::WA_WState_Created))
        return {};
    const WId id = window->winId();
    const auto w = Window(id);
    if (isMapped(d, w)) {
        // On the screen, and Qt has not seen the frame yet (or there is none).
        return logical(frameExtents(d, w).value_or(QMargins()), window);
    }
    const auto known = answers.constFind(id);
    if (known != answers.constEnd() && known->flags == window->windowFlags())
        return known->frame;
    const std::optional<QMargins> asked = managerAnswersRequests(d) ? askManager(d, w) : std::nullopt;
    const QMargins frame = asked ? logical(*asked, window) : QMargins();
    answers.insert(id, Answer{window->windowFlags(), frame, asked.has_value()});
    return frame;
}

// Whether a window manager runs: it names its check window on the root.
bool managerRuns(Display* d)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool runs = XGetWindowProperty(d, DefaultRootWindow(d), atom(d, "_NET_SUPPORTING_WM_CHECK"), 0, 1, False,
                                         XA_WINDOW, &type, &format, &count, &after, &data)
            == Success
        && data && count == 1;
    if (data)
        XFree(data);
    return runs;
}

#endif

} // namespace

QMargins WindowManagerFrame(QWidget* Window)
{
    if (!Window || !Window->isWindow() || bypassesWindowManager(Window))
        return {};
    const QMargins known = qtFrame(Window);
    if (!known.isNull())
        return known;
#ifdef LUX_HAVE_XLIB
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return managerFrame(Window);
#endif
    return {};
}

bool WindowManagerFrameUnknown(QWidget* Window)
{
#ifdef LUX_HAVE_XLIB
    if (!Window || !Window->isWindow() || bypassesWindowManager(Window)
        || QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    Display* d = x11Display();
    if (!d || !managerRuns(d) || !Window->testAttribute(Qt::WA_WState_Created))
        return false;
    const auto known = answers.constFind(Window->winId());
    return known == answers.constEnd() || !known->answered;
#else
    Q_UNUSED(Window);
    return false;
#endif
}

std::optional<QPoint> ClientOriginOnScreen(QWidget* Window)
{
#ifdef LUX_HAVE_XLIB
    if (!Window || !Window->isWindow() || QGuiApplication::platformName() != QLatin1String("xcb")
        || !Window->testAttribute(Qt::WA_WState_Created))
        return std::nullopt;
    Display* d = x11Display();
    if (!d)
        return std::nullopt;
    int x = 0, y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(d, ::Window(Window->winId()), DefaultRootWindow(d), 0, 0, &x, &y, &child))
        return std::nullopt;
    const qreal ratio = Window->devicePixelRatioF();
    return QPoint(qRound(x / ratio), qRound(y / ratio));
#else
    Q_UNUSED(Window);
    return std::nullopt;
#endif
}
