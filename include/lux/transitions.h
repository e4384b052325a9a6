#pragma once
/// @file transitions.h
/// @brief Show and hide a window through one of 58 animated transitions, in one call.
///
/// @code
/// #include <lux/transitions.h>
///
/// QDialog dialog;
/// lux::animateShow(&dialog, "CircleFadeOut", std::chrono::milliseconds(600));
/// ...
/// lux::animateHide(&dialog, "SlideDown", std::chrono::milliseconds(400));
/// @endcode
///
/// The transition is drawn by the library itself: on X11 without a compositor
/// on a pop-up that covers the window's client area, from what the screen
/// showed to the window (or back); wherever a compositor runs (Wayland,
/// Xwayland, X11 with one) inside the window, over the live desktop. None is
/// needed. The calls return at once; the transition plays once control is
/// back in the event loop.
///
/// This header brings only the namespace @c lux into a program. The classic
/// component interface (@c TluxAnimation, @c TluxAnimationForm, …) lies under
/// @c include/lux with the paths it has in the source tree, e.g.
/// @c "effects/forms/luxanimation.h".

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

class QWidget;

/// The transitions library's one-call interface.
namespace lux {

/// @brief The bare names of the 58 effects in the library's order
/// ("Fade", "CircleFadeOut", "SlideDown", …).
///
/// Every call of this header takes such a name, or its full form with the
/// kind before it ("[ FADE ] - CircleFadeOut"), ignoring case.
QStringList effectNames();

/// @brief Shows the top-level widget @p window through @p effect.
///
/// Starts what the library needs on first use (a program creates nothing
/// else first) and returns at once: the transition plays, over @p duration,
/// once the event loop runs. The duration is kept between 50 ms and 9000 ms.
///
/// Returns false, and says why with qWarning(), when @p effect names no effect
/// (the warning names it), @p window is null or not a window, the window is
/// already visible, or the call comes from a thread other than the GUI thread.
/// Nothing is shown then.
bool animateShow(QWidget* window, const QString& effect,
                 std::chrono::milliseconds duration = std::chrono::milliseconds(400));

/// @brief Hides the top-level widget @p window through @p effect, from the
/// window to what lay behind it when it was shown.
///
/// Returns false, with a qWarning(), as animateShow() does, and when the
/// window is not visible. A window with @c Qt::WA_DeleteOnClose is deleted
/// (deleteLater) once the transition has ended.
///
/// The transition needs what lay behind the window: it plays when the window
/// was shown through this library (animateShow() or Transition::show()) and
/// has kept its place and size since; otherwise the window is hidden at once
/// with a warning that says so.
bool animateHide(QWidget* window, const QString& effect,
                 std::chrono::milliseconds duration = std::chrono::milliseconds(400));

/// @brief The transitions of one window, with signals for those who need them.
///
/// Ownership: the object is a child of its window and goes with it; there is
/// at most one per window, and animateShow() and animateHide() use the same
/// one (Transition::of() returns it). Deleting it earlier stops any transition
/// it plays and leaves the window as it is.
///
/// @c Qt::WA_DeleteOnClose: hiding such a window through hide() (or
/// animateHide()) plays the transition, emits finished(), and then deletes the
/// window (deleteLater). The window's own show(), hide() and close() stay
/// plain: each call of this interface animates one showing or hiding.
///
/// @code
/// auto* t = lux::Transition::of(&dialog);
/// QObject::connect(t, &lux::Transition::finished, &dialog, [] { qDebug() << "shown"; });
/// t->show("Fade", std::chrono::milliseconds(500));
/// @endcode
class Transition : public QObject {
    Q_OBJECT

public:
    /// The transition object of @p window, made on first use; null (with a
    /// warning) when @p window is null or not a window, or when called from a
    /// thread other than the GUI thread.
    static Transition* of(QWidget* window);
    ~Transition() override;

    /// As animateShow() on this object's window.
    bool show(const QString& effect, std::chrono::milliseconds duration = std::chrono::milliseconds(400));
    /// As animateHide() on this object's window.
    bool hide(const QString& effect, std::chrono::milliseconds duration = std::chrono::milliseconds(400));

    /// The window this object animates.
    QWidget* window() const;
    /// Whether a show or hide asked for has not finished yet.
    bool isRunning() const;

signals:
    /// The transition starts drawing (after the window has its new look).
    void started();
    /// The window is shown or hidden: the transition has played, or could not
    /// play (a warning said why). Comes once for each show() or hide() that
    /// returned true.
    void finished();

private:
    friend bool animateShow(QWidget*, const QString&, std::chrono::milliseconds);
    friend bool animateHide(QWidget*, const QString&, std::chrono::milliseconds);
    explicit Transition(QWidget* window);
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace lux
