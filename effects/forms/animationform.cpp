#include "effects/forms/animationform.h"

#include "effects/bitmap/luxbitmap.h"
#include "effects/forms/controlfreezer.h"
#include "effects/forms/effectsstartup.h"
#include "effects/util/guithread.h"

#include <QTimer>
#include <QWidget>

namespace {

const std::optional<QRegion>* popupRegionOf(QWidget* form)
{
    const TluxAnimationForm* component = FindAnimationForm(form);
    return component ? &component->PopupRegion() : nullptr;
}

} // namespace

TluxAnimationForm::TluxAnimationForm(QObject* AOwner) : QObject(AOwner)
{
    popupRegionOfForm = &popupRegionOf;
    // Made in code, nobody may call Loaded(): the component then loads itself.
    // A stream reader calls it before either of these comes.
    auto* owner = qobject_cast<QWidget*>(AOwner);
    if (!owner || QThread::currentThread() != thread())
        return;
    owner->installEventFilter(this); // the first Show, should it come first (eventFilter)
    QTimer::singleShot(0, this, [this] {
        if (!m_loaded)
            Loaded();
    });
}

TluxAnimationForm::~TluxAnimationForm()
{
    removeHook();
}

void TluxAnimationForm::SetMask(const QImage& Value)
{
    m_mask = Value;
    AdjustSizeByMask();
}

QString TluxAnimationForm::GetVersion() const
{
    return QStringLiteral("3.02");
}

void TluxAnimationForm::SetVersion(const QString&) {}

QWidget* TluxAnimationForm::ownerForm() const
{
    auto* w = qobject_cast<QWidget*>(parent());
    return w && w->isWindow() ? w : nullptr;
}

void TluxAnimationForm::AdjustSizeByMask()
{
    auto* owner = qobject_cast<QWidget*>(parent());
    if (!owner || m_mask.width() == 0 || m_mask.height() == 0)
        return;
    // The mask lies over the widget's own area (a window manager's frame is
    // outside it), so that area takes exactly the mask picture's size.
    owner->resize(m_mask.width(), m_mask.height());
}

void TluxAnimationForm::Loaded()
{
    if (!onGuiThread("TluxAnimationForm::Loaded"))
        return;
    m_loaded = true;
    luxStartOnFirstUse(); // the screen grabs of a showing need the platform helpers
    AdjustSizeByMask();
    QWidget* form = ownerForm();
    if (!form) {
        auto* owner = qobject_cast<QWidget*>(parent());
        if (owner) {
            owner->removeEventFilter(this);
            qWarning("TluxAnimationForm \"%s\": its owner %s \"%s\" is not a window; the component animates "
                     "the top-level window it belongs to directly, so nothing will play",
                     qUtf8Printable(objectName()), owner->metaObject()->className(),
                     qUtf8Printable(owner->objectName()));
        }
        return;
    }

    m_maskRegion = CreateRegionFromPicture(m_mask, form->width(), form->height(), m_maskColor, m_maskMode);
    if (m_maskRegion) {
        // The pop-up's copy is taken before the shape goes to the window.
        m_popupRegion = *m_maskRegion & QRegion(0, 0, form->width(), form->height());
        form->setMask(*m_maskRegion);
    }
    installHook(form);
}

TluxAnimationForm* FindAnimationForm(QWidget* Form)
{
    if (!Form)
        return nullptr;
    for (QObject* child : Form->children()) {
        if (auto* component = qobject_cast<TluxAnimationForm*>(child))
            return component;
    }
    return nullptr;
}
