// Forms that play a transition when shown or hidden, on real windows.

#include "tests/effects/forms/animationfixture.h"
#include "effects/forms/animationform.h"
#include "effects/forms/animationlist.h"
#include "effects/forms/componentstream.h"
#include "effects/util/transitionsurface.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPointer>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>

using namespace animationtest;
using namespace freezetest;

namespace {

// The windows of these tests lie in their own part of the 1280 x 1024 test screen.
QRect at(int x, int y, int w, int h)
{
    return QRect(x + 40, y + 560, w, h);
}

const QColor behindColour(40, 90, 200);
const QColor formColour(230, 200, 30);

QImage solid(const QRect& r, QColor c)
{
    QImage image(r.size(), QImage::Format_RGB32);
    image.fill(c);
    return image;
}

// Holds back the first finish-show event the form receives, until released.
class FinishHolder : public QObject {
public:
    bool held = false;
    bool release = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != TluxAnimationForm::CM_FINISHSHOWANIMATION || release)
            return false;
        held = true;
        return true;
    }
};

class FormAnimation : public testing::Test {
protected:
    void SetUp() override
    {
        if (!haveScreen())
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        startTransitions();
        backdrop.reset(makeWindow(behindColour, at(0, 0, 360, 260)));
        ASSERT_TRUE(showAndWait(backdrop.get(), at(0, 0, 360, 260), behindColour));
        formRect = at(70, 60, 200, 130);
        form.reset(makeWindow(formColour, formRect));
        const ComponentStreamResult result = ReadComponentStream(fadeFormStream(1500), form.get());
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        component = FindAnimationForm(form.get());
        ASSERT_NE(component, nullptr);
        animation = component->GetShowAnimation();
        ASSERT_NE(animation, nullptr);
        animation->OnFinish = [this](QObject*) {
            ++shows;
            // The last frame, still on the lock pop-up.
            luxtest::processEventsFor(60);
            lastFrame = screenAt(formRect);
        };
    }
    void TearDown() override
    {
        form.reset();
        backdrop.reset();
    }

    // Lets a show held at its start play, and waits for its end.
    void releaseShow(FinishHolder& holder)
    {
        holder.release = true;
        QCoreApplication::postEvent(form.get(), new QEvent(TluxAnimationForm::CM_FINISHSHOWANIMATION));
        ASSERT_TRUE(waitUntil([&] { return shows == 1; }, 20000));
    }
    // Some recorded frame of the form's place lies between the two colours.
    void expectFrameBetween(const FrameRecorder& recorder, QColor fromColour, QColor toColour)
    {
        const QImage from = solid(formRect, fromColour);
        const QImage to = solid(formRect, toColour);
        const QImage middle = recorder.intermediate(from, to);
        ASSERT_FALSE(middle.isNull()) << recorder.frames.size() << " frames recorded, none between the pictures";
        EXPECT_TRUE(between(middle, from, to));
    }

    std::unique_ptr<QWidget> backdrop;
    std::unique_ptr<QWidget> form;
    QRect formRect;
    TluxAnimationForm* component = nullptr;
    TluxAnimation* animation = nullptr;
    int shows = 0;
    QImage lastFrame;
};

TEST_F(FormAnimation, ShowingPlaysTheTransitionOnTheLockAndEndsOnTheFormsPicture)
{
    ASSERT_TRUE(component->IsHooked());
    const QSet<QWidget*> before = topLevels();
    FinishHolder holder;
    form->installEventFilter(&holder);
    FrameRecorder recorder(animation, formRect);

    form->show();
    ASSERT_TRUE(waitUntil([&] { return holder.held; }));
    // Shown, painted beneath the lock, and the screen still shows what was there.
    luxtest::processEventsFor(300);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(FrozenControlCount(), 1);
    EXPECT_TRUE(screenIs(formRect, behindColour));
    EXPECT_EQ(shows, 0);

    ASSERT_NO_FATAL_FAILURE(releaseShow(holder));
    ASSERT_NO_FATAL_FAILURE(expectFrameBetween(recorder, behindColour, formColour));
    EXPECT_EQ(luxtest::differingPixels(lastFrame, solid(formRect, formColour)), 0);
    EXPECT_TRUE(waitUntil([&] { return screenIs(formRect, formColour); }));
    EXPECT_EQ(FrozenControlCount(), 0);
    EXPECT_EQ(topLevels(), before);
    EXPECT_EQ(animation->SourceImage(), nullptr);
    EXPECT_EQ(animation->DestImage(), nullptr);
}

// A splash is shown, and its screen copied, before its main window comes up
// beneath it: the form comes in over the window as it now is, not over the
// empty screen of the copy.
TEST_F(FormAnimation, AWindowMappedAfterTheCopyIsWhatTheFormComesInOver)
{
    if (TransitionSurfaceOfThisRun() != TransitionSurface::ScreenCopy)
        GTEST_SKIP() << "transitions are drawn inside their windows here, over the live desktop";
    backdrop->hide();
    ASSERT_TRUE(waitUntil([&] { return !screenIs(formRect, behindColour); }));
    FinishHolder holder;
    form->installEventFilter(&holder);
    FrameRecorder recorder(animation, formRect);
    form->show();
    ASSERT_TRUE(waitUntil([&] { return holder.held; }));
    backdrop->show();
    backdrop->lower();
    ASSERT_TRUE(waitUntil([&] { return backdrop->windowHandle()->isExposed(); }));
    ASSERT_NO_FATAL_FAILURE(releaseShow(holder));
    expectFrameBetween(recorder, behindColour, formColour);
}

TEST_F(FormAnimation, EveryShowPlaysAgainAndHidingWithoutAHideAnimationIsPlain)
{
    animation->SetTime(200);
    for (int round = 1; round <= 2; ++round) {
        form->show();
        ASSERT_TRUE(waitUntil([&] { return shows == round; }, 20000)) << round;
        ASSERT_TRUE(waitUntil([&] { return screenIs(formRect, formColour); })) << round;
        form->hide();
        EXPECT_EQ(FrozenControlCount(), 0) << "no hide transition prepared";
        ASSERT_TRUE(waitUntil([&] { return screenIs(formRect, behindColour); })) << round;
    }
}

TEST_F(FormAnimation, FreeingTheAnimationClearsTheReferenceWhoeverOwnsIt)
{
    QWidget otherForm;
    auto* foreign = new TluxAnimation(&otherForm);
    component->SetShowAnimation(foreign);
    component->SetHideAnimation(foreign);
    delete foreign;
    EXPECT_EQ(component->GetShowAnimation(), nullptr);
    EXPECT_EQ(component->GetHideAnimation(), nullptr);

    // The form's own animation goes with its list.
    component->SetShowAnimation(animation);
    delete form->findChild<TluxAnimationList*>();
    EXPECT_EQ(component->GetShowAnimation(), nullptr);
    // Without a show animation the form shows at once.
    const QSet<QWidget*> before = topLevels();
    form->show();
    EXPECT_EQ(FrozenControlCount(), 0);
    EXPECT_EQ(topLevels(), before);
    EXPECT_TRUE(waitUntil([&] { return screenIs(formRect, formColour); }));
}

TEST_F(FormAnimation, HidingPlaysFromTheFormToWhatIsBehindAndTheFormStaysHidden)
{
    auto* hideAnimation = new TluxAnimation(form.get());
    hideAnimation->Effect = fadeEffect;
    hideAnimation->SetTime(1500);
    int hides = 0;
    hideAnimation->OnFinish = [&](QObject*) { ++hides; };
    component->SetShowAnimation(nullptr);
    component->SetHideAnimation(hideAnimation);
    const QSet<QWidget*> before = topLevels();
    ASSERT_TRUE(showAndWait(form.get(), formRect, formColour));

    FrameRecorder recorder(hideAnimation, formRect);
    form->hide();
    // Prepared while the form was still on the screen: the lock shows the form.
    EXPECT_EQ(FrozenControlCount(), 1);
    EXPECT_TRUE(screenIs(formRect, formColour));
    ASSERT_TRUE(waitUntil([&] { return hides == 1; }, 20000));

    ASSERT_NO_FATAL_FAILURE(expectFrameBetween(recorder, formColour, behindColour));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(waitUntil([&] { return screenIs(formRect, behindColour); }));
    luxtest::processEventsFor(200);
    EXPECT_TRUE(screenIs(formRect, behindColour)) << "the form stays hidden";
    EXPECT_EQ(FrozenControlCount(), 0);
    EXPECT_EQ(topLevels(), before);
}

// Columns one device pixel wide, alternately black and the form's colour, at
// whatever device pixel ratio the screen has.
class DeviceColumns : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const qreal ratio = devicePixelRatioF();
        p.fillRect(rect(), formColour);
        const int columns = int(width() * ratio);
        for (int x = 0; x < columns; x += 2)
            p.fillRect(QRectF(x / ratio, 0, 1 / ratio, height()), Qt::black);
    }
};

// On a HiDPI screen (scripts/test runs this at scale 2 and 1.5) every frame
// is composed at device pixels: a detail one device pixel wide shows in the
// frames as in the window after them, not smeared over a logical pixel.
TEST_F(FormAnimation, FramesKeepTheWindowsDevicePixels)
{
    auto* columns = new DeviceColumns(form.get());
    columns->setGeometry(form->rect());
    const qreal ratio = form->devicePixelRatioF();
    const auto deviceScreen = [&] {
        return CaptureScreen(TRect::fromQRect(formRect), ratio).convertToFormat(QImage::Format_RGB32);
    };
    std::vector<QImage> frames;
    QTimer recorder;
    QObject::connect(&recorder, &QTimer::timeout, [&] {
        if (animation->State() == asExecuting)
            frames.push_back(deviceScreen());
    });
    recorder.start(30);
    QImage last;
    animation->OnFinish = [&](QObject*) {
        ++shows;
        luxtest::processEventsFor(60);
        last = deviceScreen(); // still on the lock
    };
    form->show();
    ASSERT_TRUE(waitUntil([&] { return shows == 1; }, 20000));

    const QImage window = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(window.size(), last.size());
    EXPECT_EQ(luxtest::differingPixels(last, window), 0) << "the last frame is the window's own picture";
    QImage behind(window.size(), QImage::Format_RGB32);
    behind.fill(behindColour);
    int blends = 0;
    for (const QImage& frame : frames) {
        if (luxtest::differingPixels(frame, behind) == 0 || luxtest::differingPixels(frame, window) == 0)
            continue;
        ++blends;
        EXPECT_TRUE(between(frame, behind, window)) << "frame " << blends << " blends other pixels";
    }
    EXPECT_GT(blends, 0) << frames.size() << " frames recorded, none between the pictures";
}

// A form whose native window a test can destroy, as Qt does when it must make it anew.
class RecreatableForm : public SolidWidget {
public:
    using SolidWidget::SolidWidget;
    using QWidget::destroy;
};

TEST_F(FormAnimation, TheHookFollowsTheFormWhenItsNativeWindowIsMadeAgain)
{
    form.reset(new RecreatableForm(formColour, nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint));
    form->setGeometry(formRect);
    ASSERT_TRUE(ReadComponentStream(fadeFormStream(200), form.get()).ok);
    component = FindAnimationForm(form.get());
    auto* hideAnimation = new TluxAnimation(form.get());
    hideAnimation->SetTime(200);
    component->SetHideAnimation(hideAnimation);
    int played = 0;
    component->GetShowAnimation()->OnFinish = [&](QObject*) { ++played; };

    QPointer<QWindow> before = form->windowHandle();
    ASSERT_FALSE(before.isNull());
    static_cast<RecreatableForm*>(form.get())->destroy();
    ASSERT_TRUE(before.isNull() || before != form->windowHandle());

    form->show();
    ASSERT_TRUE(waitUntil([&] { return played == 1; }, 20000));
    ASSERT_TRUE(waitUntil([&] { return screenIs(formRect, formColour); }));
    form->hide();
    EXPECT_EQ(FrozenControlCount(), 1) << "the hide is seen on the new window too";
    EXPECT_TRUE(waitUntil([&] { return FrozenControlCount() == 0 && screenIs(formRect, behindColour); }, 20000));
}

TEST_F(FormAnimation, TheFormsStreamHoldsItsComponentsButNeverTheHideAnimation)
{
    component->SetHideAnimation(animation);
    const QJsonArray components =
        QJsonDocument::fromJson(WriteComponentStream(form.get())).object()[QLatin1String("components")].toArray();
    ASSERT_EQ(components.size(), 2);
    const QJsonObject list = components[0].toObject();
    EXPECT_EQ(list[QLatin1String("properties")].toObject()[QLatin1String("Version")].toString(), QLatin1String("3.02"));
    const QJsonObject item = list[QLatin1String("children")].toArray()[0].toObject();
    EXPECT_EQ(item[QLatin1String("class")].toString(), QLatin1String("TluxAnimation"));
    EXPECT_EQ(item[QLatin1String("properties")].toObject().keys(), (QStringList{"Effect", "Time"}));
    const QJsonObject properties = components[1].toObject()[QLatin1String("properties")].toObject();
    EXPECT_EQ(properties.keys(), (QStringList{"Mask", "MaskColor", "MaskMode", "ShowAnimation", "Version"}));
    EXPECT_EQ(properties[QLatin1String("MaskColor")].toInt(-1), 0);
    EXPECT_EQ(properties[QLatin1String("MaskMode")].toString(), QLatin1String("mmExclude"));
    EXPECT_EQ(properties[QLatin1String("ShowAnimation")].toString(), QLatin1String("luxAnimation1"));

    // A stream naming the hide animation is refused.
    QWidget other;
    const QByteArray withHide = R"({"format":"lux-components","components":[
        {"class":"TluxAnimationForm","properties":{"HideAnimation":null}}]})";
    EXPECT_TRUE(ReadComponentStream(withHide, &other).error.contains(QLatin1String("HideAnimation")));
}

} // namespace
