#include "effects/forms/luxanimation.h"

#include "effects/engine/animationengine.h"
#include "effects/forms/controlfreezer.h"
#include "effects/util/controlgeometry.h"
#include "effects/forms/grabberregistry.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/engine/effectregistry.h"
#include "effects/forms/effectsstartup.h"
#include "effects/util/guithread.h"
#include "platform/devicepixels.h"

#include <QCoreApplication>
#include <QSet>

namespace {

bool hasArea(const TluxBitmap* image)
{
    return image && image->Width > 0 && image->Height > 0;
}

// Whether the engine can play the animation's effect: a registered one, the
// random pick or the bitmap animation. Asked without drawing the random pick.
bool knownEffect(const TluxAnimationRec& settings)
{
    const QString& name = settings.Effect;
    if (name == QLatin1String(luxRandomEffectName) || name == QLatin1String(luxBitmapEffectName))
        return true;
    return ProcList && ProcList->GetProcs(name);
}

// An unknown name is said once per name: a form shown again and again would
// otherwise repeat it at every showing.
void warnUnknownEffect(const TluxAnimation& animation)
{
    static QSet<QString> named;
    if (named.contains(animation.Effect))
        return;
    named.insert(animation.Effect);
    qWarning("TluxAnimation \"%s\": unknown effect \"%s\", the change happens without a transition "
             "(GetEffectList() names the effects)",
             qUtf8Printable(animation.objectName()), qUtf8Printable(animation.Effect));
}

// A picture given at the logical size of the frozen part is enlarged to its
// device pixels, the size of the new picture grabbed later.
void toDevicePixels(TluxBitmap& picture, QSize logical, qreal ratio)
{
    const QSize device = ToDevicePixels(logical, ratio);
    if (device == logical || QSize(picture.Width, picture.Height) != logical)
        return;
    QImage pixels;
    picture.AssignTo(pixels);
    picture.Assign(pixels.scaled(device, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

} // namespace

TluxAnimation::TluxAnimation(QObject* Owner) : TluxAnimationRec(Owner)
{
    connect(this, &QObject::objectNameChanged, this, [this] {
        if (OnNameChange)
            OnNameChange(this);
    });
}

TluxAnimation::~TluxAnimation()
{
    if (m_state == asExecuting) {
        // Destroyed by a handler while its transition plays: the engine stops
        // drawing from its pictures before they go.
        stopEngineSlots();
    }
    SetParentComponent(nullptr); // leaves its list
    if (IsControlFrozen(nullptr))
        UnFreezeControlProc(m_frozenControl, false); // the lock shows our picture: it goes first
}

void TluxAnimation::stopEngineSlots()
{
    for (int i = 0; i < luxAnimationSlots; ++i) {
        if (IsAnimating(i) && animationSlot(i).settings == this)
            StopMultiAnimation(i, false);
    }
}

void TluxAnimation::Abort()
{
    m_aborted = true;
    if (m_state == asExecuting)
        stopEngineSlots();
}

void TluxAnimation::Execute()
{
    if (IsControlFrozen(nullptr))
        play(m_frozenCanvas, 0, 0, true);
}

void TluxAnimation::ExecuteImage(TCanvas* Canvas, int X, int Y)
{
    play(Canvas, X, Y, m_frozenCanvas != nullptr);
}

void TluxAnimation::ExecuteTo(std::unique_ptr<TluxBitmap> Dest)
{
    if (!IsControlFrozen(nullptr))
        return;
    SetDestImage(std::move(Dest));
    play(m_frozenCanvas, 0, 0, false);
}

void TluxAnimation::play(TCanvas* Canvas, int X, int Y, bool grabDest)
{
    // One transition at a time: a handler run by the playing one cannot start another.
    if (m_state == asExecuting || !hasArea(m_sourceImage.get()))
        return;
    if (!onGuiThread("TluxAnimation") || !luxStartOnFirstUse())
        return;
    if (!knownEffect(*this))
        warnUnknownEffect(*this);
    m_sourceImage->SetAlpha(255);
    m_aborted = false;
    QPointer<TluxAnimation> self(this); // handlers run below may free the animation
    if (grabDest) {
        // The control repaints behind the lock with its new look before it is grabbed.
        QCoreApplication::processEvents();
        if (!self || m_aborted)
            return;
        if (m_frozenControl)
            SetDestImage(GrabBeneathLock(m_frozenControl, m_frozenRect));
    }
    if (!hasArea(m_destImage.get()))
        return;
    if (OnStart) {
        OnStart(this);
        QCoreApplication::processEvents();
        if (!self || m_aborted || !hasArea(m_sourceImage.get()) || !hasArea(m_destImage.get()))
            return;
    }
    m_state = asExecuting;
    ExecuteAnimation(Canvas, X, Y, m_sourceImage.get(), m_destImage.get(), this);
    if (!self)
        return;
    if (!m_aborted)
        m_destImage->Draw(Canvas, X, Y);
    m_aborted = false;
    m_state = asNormal;
    if (m_restorePending) {
        m_restorePending = false;
        Restore();
    }
    if (OnFinish)
        OnFinish(this);
}

void TluxAnimation::FreezeControl(QWidget* Control, const TRect& R, std::unique_ptr<TluxBitmap> Image)
{
    if (!Control || IsControlFrozen(Control) || !onGuiThread("TluxAnimation::FreezeControl") || !luxStartOnFirstUse())
        return;
    // Every widget draws in an area of its own, so the control itself is frozen.
    m_frozenControl = Control;
    const TRect bounds = GetRealBoundsRect(Control);
    TRect area;
    if (!IntersectRect(area, R, Rect(0, 0, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top)))
        area = TRect();
    m_frozenRect = area;
    // The transition is composed at the device pixels of the control's screen.
    const qreal ratio = DevicePixelRatioOf(Control);
    if (!Image)
        Image = GrabToDeviceBitmap(Control, m_frozenRect, ratio);
    else
        toDevicePixels(*Image, QSize(area.Width(), area.Height()), ratio);
    SetSourceImage(std::move(Image));
    m_frozenCanvas = FreezeControlProc(Control, m_frozenRect, m_sourceImage.get());
}

void TluxAnimation::FreezeControlClient(QWidget* Control, const TRect& R, std::unique_ptr<TluxBitmap> Image)
{
    if (!Control)
        return;
    const TPoint origin = GetClientOrigin(Control);
    TRect moved = R;
    OffsetRect(moved, origin.X, origin.Y);
    TRect area;
    if (!IntersectRect(area, moved, GetRealClientRect(Control)))
        area = TRect();
    FreezeControl(Control, area, std::move(Image));
}

void TluxAnimation::Restore()
{
    if (!IsControlFrozen(nullptr))
        return;
    if (m_state == asExecuting) {
        // The engine is drawing from both pictures onto the lock right now.
        m_restorePending = true;
        return;
    }
    UnFreezeControlProc(m_frozenControl, false);
    m_frozenCanvas = nullptr;
    m_frozenControl = nullptr;
    m_sourceImage.reset();
    m_destImage.reset();
}

bool TluxAnimation::IsControlFrozen(QWidget*) const
{
    return m_frozenControl && m_frozenCanvas;
}

void TluxAnimation::SetSourceImage(std::unique_ptr<TluxBitmap> Image)
{
    if (Image)
        Image->SetAlpha(255);
    m_sourceImage = std::move(Image);
}

void TluxAnimation::SetDestImage(std::unique_ptr<TluxBitmap> Image)
{
    if (Image)
        Image->SetAlpha(255);
    m_destImage = std::move(Image);
}

