#include "effects/forms/grabberregistry.h"

#include "effects/forms/buttongrabbers.h"
#include "effects/util/controlgeometry.h"
#include "effects/forms/formgrabber.h"
#include "effects/util/rectutils.h"
#include "effects/forms/scrollbargrabbers.h"
#include "platform/devicepixels.h"
#include "platform/screen.h"

#include <QMetaObject>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <new>

namespace {

std::unique_ptr<std::vector<TluxGrabberClass>>& registry()
{
    static std::unique_ptr<std::vector<TluxGrabberClass>> list;
    return list;
}

bool listsName(const QString& names, const QString& className)
{
    const QStringList items = names.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& item : items) {
        if (item.trimmed().compare(className, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool serves(TluxGrabberClass g, QWidget* control)
{
    const QMetaObject* type = g->GetGrabberClassType();
    if (type && control->metaObject()->inherits(type) && g->ServesKind(control))
        return true;
    return listsName(g->GetGrabberClassName(), QString::fromLatin1(control->metaObject()->className()));
}

} // namespace

void RegisterGrabber(TluxGrabberClass Grabber)
{
    if (!Grabber)
        return;
    if (!registry())
        registry() = std::make_unique<std::vector<TluxGrabberClass>>();
    registry()->push_back(Grabber);
}

std::vector<TluxGrabberClass> RegisteredGrabbers()
{
    return registry() ? *registry() : std::vector<TluxGrabberClass>();
}

void FreeGrabberRegistry()
{
    registry().reset();
}

TluxGrabberClass FindGrabberClass(QWidget* Control)
{
    if (Control && registry()) {
        const auto& list = *registry();
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            if (serves(*it, Control))
                return *it;
        }
    }
    return GrabberClassOf<TluxWControlGrabber>();
}

void DrawControlTree(TBitmap* Bitmap, int X, int Y, const TRect& R, QWidget* Control)
{
    if (!Bitmap || !Control)
        return;
    // The control's outer size: a window's frame is part of it.
    const TRect bounds = GetRealBoundsRect(Control);
    TRect want;
    IntersectRect(want, R, TRect(0, 0, RectWidth(bounds), RectHeight(bounds)));
    if (IsRectEmpty(want))
        return;

    HDC dc = Bitmap->Canvas()->Handle();
    struct ClipReset {
        HDC dc;
        ~ClipReset() { dc->selectClipRegion(std::nullopt); }
    } reset{dc};
    dc->selectClipRegion(QRegion(X + want.Left, Y + want.Top, RectWidth(want), RectHeight(want)));

    const std::unique_ptr<TluxGrabber> grabber = FindGrabberClass(Control)->Create();
    grabber->GrabToBitmap(Bitmap, X, Y, Control, want);

    const TPoint origin = GetClientOrigin(Control);
    const TRect client = GetRealClientRect(Control);
    TRect wantInClient = want;
    OffsetRect(wantInClient, -origin.X, -origin.Y);
    IntersectRect(wantInClient, wantInClient, TRect(0, 0, RectWidth(client), RectHeight(client)));
    // children() is in stacking order: later children are drawn over earlier ones.
    for (QObject* object : Control->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow() || child->isHidden())
            continue;
        const TRect b = GetRealBoundsRect(child);
        TRect v;
        if (!IntersectRect(v, b, wantInClient))
            continue;
        OffsetRect(v, -b.Left, -b.Top);
        DrawControlTree(Bitmap, X + origin.X + b.Left, Y + origin.Y + b.Top, v, child);
    }
}

std::unique_ptr<TBitmap> GrabToBitmap(QWidget* Control, const TRect& R)
{
    auto bitmap = std::make_unique<TBitmap>(RectWidth(R), RectHeight(R));
    if (!IsRectEmpty(R) && Control) {
        const luxgrab::GrabRootScope root(Control);
        DrawControlTree(bitmap.get(), -R.Left, -R.Top, R, Control);
    }
    return bitmap;
}

std::unique_ptr<TluxBitmap> GrabToLuBitmap(QWidget* Control, const TRect& R)
{
    auto result = std::make_unique<TluxBitmap>();
    const std::unique_ptr<TBitmap> grabbed = GrabToBitmap(Control, R);
    result->Assign(grabbed->Image());
    return result;
}

std::unique_ptr<TBitmap> GrabDesktopToBitmap(const TRect& R)
{
    auto bitmap = std::make_unique<TBitmap>(RectWidth(R), RectHeight(R));
    if (bitmap->Empty())
        return bitmap;
    // The screen's context: its pixels over R, with R's corner at logical (R.Left, R.Top).
    QImage screen = CaptureScreen(R);
    DeviceContext screenDC(&screen);
    screenDC.setWindowOrigin(R.TopLeft());
    BitBlt(bitmap->Canvas()->Handle(), 0, 0, bitmap->Width(), bitmap->Height(), &screenDC, R.Left, R.Top, SRCCOPY);
    return bitmap;
}

std::unique_ptr<TluxBitmap> GrabDesktopToLuBitmap(const TRect& R)
{
    auto result = std::make_unique<TluxBitmap>();
    const std::unique_ptr<TBitmap> grabbed = GrabDesktopToBitmap(R);
    result->Assign(grabbed->Image());
    return result;
}

std::unique_ptr<TluxBitmap> GrabToDeviceBitmap(QWidget* Control, const TRect& R, qreal ratio)
{
    if (ratio == 1.0 || !Control || IsRectEmpty(R))
        return GrabToLuBitmap(Control, R);
    return RenderToDeviceBitmap(Control, R, ratio);
}

std::unique_ptr<TluxBitmap> RenderToDeviceBitmap(QWidget* Control, const TRect& R, qreal ratio)
{
    if (!Control || IsRectEmpty(R))
        return GrabToLuBitmap(Control, R);
    // R lies in the outer coordinates, which for a window include the
    // manager's frame; the widget renders in its own.
    const TPoint origin = Control->isWindow() ? GetClientOrigin(Control) : TPoint();
    QImage picture(ToDevicePixels(QSize(RectWidth(R), RectHeight(R)), ratio), QImage::Format_ARGB32);
    if (picture.isNull())
        throw std::bad_alloc();
    picture.fill(0xFF000000u);
    picture.setDevicePixelRatio(ratio);
    const QRect part(R.Left - origin.X, R.Top - origin.Y, RectWidth(R), RectHeight(R));
    Control->render(&picture, QPoint(), QRegion(part), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    picture.setDevicePixelRatio(1);
    auto result = std::make_unique<TluxBitmap>();
    result->Assign(picture);
    return result;
}

std::unique_ptr<TluxBitmap> GrabDesktopToDeviceBitmap(const TRect& R, qreal ratio)
{
    if (ratio == 1.0)
        return GrabDesktopToLuBitmap(R);
    auto result = std::make_unique<TluxBitmap>();
    result->Assign(CaptureScreen(R, ratio));
    return result;
}

void RegisterStandardGrabbers()
{
    const std::vector<TluxGrabberClass> present = RegisteredGrabbers();
    if (std::find(present.begin(), present.end(), GrabberClassOf<TluxFormGrabber>()) != present.end())
        return;
    RegisterGrabber(GrabberClassOf<TluxFormGrabber>());
    RegisterGrabber(GrabberClassOf<TluxButtonGrabber>());
    RegisterGrabber(GrabberClassOf<TluxBitBtnGrabber>());
    RegisterGrabber(GrabberClassOf<TluxCheckBoxGrabber>());
    RegisterGrabber(GrabberClassOf<TluxScrollBoxGrabber>());
    RegisterGrabber(GrabberClassOf<TluxMemoGrabber>());
    RegisterGrabber(GrabberClassOf<TluxListBoxGrabber>());
}
