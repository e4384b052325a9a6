#pragma once
// The transition subsystem started once for a test program, and helpers for
// watching a transition on the screen.

#include "effects/engine/animationengine.h"
#include "effects/forms/controlfreezer.h"
#include "effects/engine/effectregistry.h"
#include "tests/effects/forms/freezefixture.h"
#include "effects/forms/luxanimation.h"
#include "effects/forms/luxstartup.h"

#include <QApplication>
#include <QSet>
#include <QTimer>

#include <vector>

namespace animationtest {

// A fade that leaves blends of the two pictures in its intermediate frames.
inline const QString fadeEffect = QStringLiteral("[ FADE ] - SmoothDiagonal");

// The components of a form that plays fadeEffect for `time` ms when shown,
// as its resource holds them.
inline QByteArray fadeFormStream(int time)
{
    return QStringLiteral(R"({"format":"lux-components","components":[
        {"class":"TluxAnimationList","name":"luxAnimationList1","properties":{"Version":"3.02"},
         "children":[{"class":"TluxAnimation","name":"luxAnimation1","properties":{"Effect":"%1","Time":%2}}]},
        {"class":"TluxAnimationForm","name":"luxAnimationForm1","properties":{"Mask":null,"MaskColor":0,
         "MaskMode":"mmExclude","ShowAnimation":"luxAnimation1","Version":"3.02"}}]})")
        .arg(fadeEffect)
        .arg(time)
        .toUtf8();
}

// The whole transition subsystem, started once per test program.
inline void startTransitions()
{
    luxStartup();
}

inline QSet<QWidget*> topLevels()
{
    const QWidgetList list = QApplication::topLevelWidgets();
    return QSet<QWidget*>(list.begin(), list.end());
}

// Every channel of every pixel of frame lies between the same channels of a and b.
inline bool between(const QImage& frame, const QImage& a, const QImage& b)
{
    if (frame.size() != a.size() || frame.size() != b.size())
        return false;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb f = frame.pixel(x, y), p = a.pixel(x, y), q = b.pixel(x, y);
            for (int shift : {0, 8, 16}) {
                const int fc = (f >> shift) & 0xFF, pc = (p >> shift) & 0xFF, qc = (q >> shift) & 0xFF;
                if (fc < std::min(pc, qc) || fc > std::max(pc, qc))
                    return false;
            }
        }
    return true;
}

// Screen pictures of rect taken every few milliseconds while the animation
// plays (the engine keeps the event loop running).
class FrameRecorder {
public:
    FrameRecorder(TluxAnimation* animation, const QRect& rect) : m_animation(animation), m_rect(rect)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_animation && m_animation->State() == asExecuting)
                frames.push_back(freezetest::screenAt(m_rect));
        });
        m_timer.start(30);
    }
    // The first recorded frame that differs from both pictures, or a null image.
    QImage intermediate(const QImage& from, const QImage& to) const
    {
        for (const QImage& f : frames) {
            if (luxtest::differingPixels(f, from) > 0 && luxtest::differingPixels(f, to) > 0)
                return f;
        }
        return QImage();
    }
    std::vector<QImage> frames;

private:
    TluxAnimation* m_animation;
    QRect m_rect;
    QTimer m_timer;
};

} // namespace animationtest
