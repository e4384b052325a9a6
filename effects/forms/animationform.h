#pragma once
// TluxAnimationForm: the non-visual component that animates the form it
// belongs to (its QObject parent, the owner).
//
// This file holds its shape: a mask picture that, when the form is loaded,
// sizes the form and gives its window a non-rectangular shape, and the copy of
// that shape the freezer gives to the lock pop-up that covers the form during
// a transition. The showing and hiding animations and the event filter that
// intercepts the form's showing are added to this class in their own files.

#include "platform/color.h"
#include "platform/types.h"
#include "effects/forms/pictureregion.h"

#include <QEvent>
#include <QImage>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QString>

#include <memory>
#include <optional>

class QWidget;
class QWindow;
class TluxAnimation;
class TluxBitmap;

// The meta-object code needs ShowAnimation's type whole. This header only names it: the
// animation freezes controls and the freezer asks this component for the form's shape.
Q_MOC_INCLUDE("effects/forms/luxanimation.h")

class TluxAnimationForm : public QObject {
    Q_OBJECT
    // Stream order: Mask, MaskColor, MaskMode, ShowAnimation (with the
    // animations), Version. None has a default, so all are always stored.
    Q_PROPERTY(QImage Mask READ GetMask WRITE SetMask)
    Q_PROPERTY(int MaskColor READ GetMaskColor WRITE SetMaskColor)
    Q_PROPERTY(LuxMaskModes::TluxMaskMode MaskMode READ GetMaskMode WRITE SetMaskMode)
    Q_PROPERTY(TluxAnimation* ShowAnimation READ GetShowAnimation WRITE SetShowAnimation)
    Q_PROPERTY(QString Version READ GetVersion WRITE SetVersion)

public:
    // The owner is the form to animate (or any object; only a form gets a shape).
    // A component made in code with its form as owner loads itself when the
    // event loop first runs or the form is first shown, whichever comes first,
    // unless Loaded() has been called by then.
    explicit TluxAnimationForm(QObject* AOwner = nullptr);
    ~TluxAnimationForm() override;

    const QImage& GetMask() const { return m_mask; }
    // Mask := a copy of Value, then AdjustSizeByMask. The window's shape is
    // not rebuilt: it is made once, in Loaded.
    void SetMask(const QImage& Value);

    TColor GetMaskColor() const { return m_maskColor; }
    void SetMaskColor(TColor Value) { m_maskColor = Value; }
    TluxMaskMode GetMaskMode() const { return m_maskMode; }
    void SetMaskMode(TluxMaskMode Value) { m_maskMode = Value; }

    // Always "3.02"; assignments are ignored (the value is stored in streams
    // only so that they name the component's version).
    QString GetVersion() const;
    void SetVersion(const QString& Value);

    // Called by the component-stream reader once the form's components have
    // been read: sizes the form to the mask and gives its window the mask's
    // shape. Does nothing more (and warns) when the owner is not a form; from
    // a thread other than the GUI thread it warns and does nothing. A second
    // call makes the shape again and keeps the one hook.
    virtual void Loaded();

    // Sizes the owner to the mask picture when the mask has a width and a
    // height; an empty mask changes nothing.
    void AdjustSizeByMask();

    // The form the component belongs to, when its owner is a top-level widget.
    QWidget* ownerForm() const;

    // The shape given to the form's window in Loaded, in the form's own
    // coordinates; no value when the form stays rectangular.
    const std::optional<QRegion>& MaskRegion() const { return m_maskRegion; }
    // MaskRegion clipped to the form's rectangle at load time: the shape of the
    // lock pop-up that covers the form during a transition. No value when the
    // form has no mask region.
    const std::optional<QRegion>& PopupRegion() const { return m_popupRegion; }

    // Show and hide transitions (animationformhook.cpp).
    // Events posted to the form after it has been shown or hidden; handling
    // them plays the transition.
    static constexpr QEvent::Type CM_FINISHSHOWANIMATION = QEvent::Type(0xB1B0);
    static constexpr QEvent::Type CM_FINISHHIDEANIMATION = QEvent::Type(0xB1B1);
    // The animation played when the form is shown, or null. Not owned; cleared
    // when that animation is destroyed.
    TluxAnimation* GetShowAnimation() const { return m_showAnimation; }
    void SetShowAnimation(TluxAnimation* Value);
    // The animation played when the form is hidden, or null; set by code only
    // (a component stream never holds it).
    TluxAnimation* GetHideAnimation() const { return m_hideAnimation; }
    void SetHideAnimation(TluxAnimation* Value);
    void PrepareShowAnimation();
    void FinishShowAnimation();
    void PrepareHideAnimation();
    void FinishHideAnimation();
    // Hides the form. Where transitions are drawn inside their windows, the
    // hide transition plays inside the form first, while it is still on the
    // screen; elsewhere the hook plays it as the form goes, as for hide().
    void hideThroughTransition();
    // Whether the hook on the form is in place (from Loaded on).
    bool IsHooked() const { return m_hookedForm != nullptr; }
    // Whether each showing keeps what lies behind the form, for a hide
    // transition chosen later; with a hide animation set it is kept anyway.
    void setKeepsBehind(bool keep) { m_keepsBehind = keep; }

    // A form with WA_DeleteOnClose that has a hide animation is closed through
    // it: the attribute waits while the transition plays, and the form is
    // deleted (deleteLater) once it has ended.

signals:
    // A show or hide prepared on the form has ended: its transition has
    // played, or could not play (the warning says why).
    void transitionEnded(bool showing);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shape state.
    QImage m_mask;
    TColor m_maskColor = clBlack;
    TluxMaskMode m_maskMode = mmExclude;

    // Animation state.
    TluxAnimation* m_showAnimation = nullptr;
    TluxAnimation* m_hideAnimation = nullptr;
    QMetaObject::Connection m_showAnimationGone;
    QMetaObject::Connection m_hideAnimationGone;
    // What lay behind the form when it was last shown, and where: the picture a
    // hide transition ends on.
    std::unique_ptr<TluxBitmap> m_behind;
    TRect m_behindRect;
    // The screen rectangle a show transition's copy shows, and this program's
    // windows that were on the screen when it was taken.
    TRect m_showCopyRect;
    QList<QPointer<QWidget>> m_windowsAtCopy;
    bool m_keepsBehind = false;
    bool m_deleteAfterHide = false;
    bool m_hidPlayedInside = false; // the hide transition has played inside the still visible form
    bool m_loaded = false;

    std::optional<QRegion> m_maskRegion;
    std::optional<QRegion> m_popupRegion;

    // The hook on the form: an event filter on it, and a watch on its native
    // window, which announces a hide while the window is still on the screen.
    void installHook(QWidget* form);
    void watchWindow();
    void removeHook();
    void closeThroughHide();
    void endHide();
    void abortShowTransition();
    void addWindowsShownSinceCopy();
    void playHideInside();
    void Notification(QObject* component);
    QWidget* m_hookedForm = nullptr;
    QPointer<QWindow> m_watchedWindow;
    QMetaObject::Connection m_windowHiding;
};

// The first TluxAnimationForm (or a class derived from it) among Form's
// children in their order; null if there is none or Form is null.
TluxAnimationForm* FindAnimationForm(QWidget* Form);
