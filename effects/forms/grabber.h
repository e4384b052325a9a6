#pragma once
// Off-screen grabbing of widgets: the grabber interface, grabber class references
// and the fallback grabber that paints one widget without its children.
//
// A grabber object is created for one grab of one control and freed right after.
// Which grabber class serves a control is decided by the registry
// (grabberregistry.h) from the class methods each grabber class declares:
//   GetGrabberClassType  the widget class served, descendants included;
//   GetGrabberClassName  further class names served, ";"-separated, any case;
//   ServesKind           this platform's refinement of the class test, for kinds
//                        Qt does not give a class of their own (a top-level
//                        widget, a push button with an icon).

#include "effects/forms/framebitmap.h"
#include "platform/types.h"

#include <QEvent>
#include <QString>

#include <memory>

class QMetaObject;
class QWidget;

class TluxGrabber {
public:
    virtual ~TluxGrabber() = default;

    // Draws Control into Bitmap with its outer top-left corner at (X, Y). R is the
    // wanted part in the control's own coordinates; the caller has restricted the
    // bitmap's clip region to it, so drawing outside R is harmless.
    virtual void GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R);

    static const char* GrabberName() { return "TluxGrabber"; }
    static const QMetaObject* GetGrabberClassType() { return nullptr; }
    static QString GetGrabberClassName() { return QString(); }
    static bool ServesKind(const QWidget*) { return true; }
};

// A class reference: what the registry holds for one grabber class.
struct TluxGrabberClassRec {
    const char* Name;
    const QMetaObject* (*GetGrabberClassType)();
    QString (*GetGrabberClassName)();
    bool (*ServesKind)(const QWidget*);
    std::unique_ptr<TluxGrabber> (*Create)();
};
using TluxGrabberClass = const TluxGrabberClassRec*;

// The class reference of grabber class G (one per class, never freed).
template <class G>
TluxGrabberClass GrabberClassOf()
{
    static const TluxGrabberClassRec rec{
        G::GrabberName(),
        &G::GetGrabberClassType,
        &G::GetGrabberClassName,
        &G::ServesKind,
        []() -> std::unique_ptr<TluxGrabber> { return std::make_unique<G>(); },
    };
    return &rec;
}

// The fallback for any widget: the widget's own paint, without its children.
class TluxWControlGrabber : public TluxGrabber {
public:
    void GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R) override;

    // Paints Control with its corner at (X, Y): a client edge or border first (as
    // GetWindowLong reports them), then the widget's background and paint through
    // QWidget::render without its children, clipped inside the edge. The widget's
    // background is painted for a window, for a widget that fills its background
    // itself and for the control a grab started from; any other widget is
    // transparent where it paints nothing, as on screen. R is not consulted.
    void GrabWinToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R);

    static const char* GrabberName() { return "TluxWControlGrabber"; }
    static const QMetaObject* GetGrabberClassType();
    static QString GetGrabberClassName() { return QStringLiteral("TWinControl;TCustomControl"); }
};

// Asked of a form before its frame is drawn: sent (QCoreApplication::sendEvent) to
// the form's widget. A form that draws its own frame handles the event in its
// event() override: it draws the frame into DC with the outer corner at (X, Y)
// (logical coordinates of DC), sets Drawn and returns true. Unhandled, Drawn stays
// false and the grabber draws the frame.
constexpr int CM_GRABNONCLIENT = 0xB1C8;

class GrabNonClientEvent : public QEvent {
public:
    GrabNonClientEvent(int x, int y, HDC dc);
    static QEvent::Type eventType();

    const int X;
    const int Y;
    const HDC DC;
    bool Drawn = false;
};

namespace luxgrab {
// The control a running grab started from (the root of DrawControlTree), or null.
QWidget* grabRoot();
// Sets the grab root for the lifetime of the object (nested grabs restore the outer one).
class GrabRootScope {
public:
    explicit GrabRootScope(QWidget* root);
    ~GrabRootScope();
    GrabRootScope(const GrabRootScope&) = delete;
    GrabRootScope& operator=(const GrabRootScope&) = delete;

private:
    QWidget* m_previous;
};
} // namespace luxgrab
