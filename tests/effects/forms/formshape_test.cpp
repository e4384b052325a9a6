// The form-animation component's shape: mask picture, window shape and the
// pop-up's copy of it, properties, and finding a form's component.

#include "effects/forms/animationform.h"
#include "tests/effects/forms/freezefixture.h"

#include <QMetaProperty>
#include <gtest/gtest.h>

#include <memory>

using namespace freezetest;

namespace {

// The windows of these tests lie in their own part of the 1280 x 1024 test
// screen, away from those of tests running at the same time.
QRect at(int x, int y, int w, int h)
{
    return QRect(x + 500, y + 420, w, h);
}

bool samePixels(const QRegion& a, const QRegion& b) { return (a ^ b).isEmpty(); }

// 200 x 100 white picture with key-colour (black) pixels: the left column and a 40 x 30 hole.
QImage holedMask()
{
    QImage mask(200, 100, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (x == 0 || (x >= 60 && y >= 20 && y < 50))
                mask.setPixel(x, y, qRgb(0, 0, 0));
    return mask;
}

const QRegion kKeyPixels = QRegion(0, 0, 1, 100) + QRegion(60, 20, 40, 30);

TEST(AnimationFormShape, PropertiesInStreamOrder)
{
    TluxAnimationForm component;
    EXPECT_TRUE(component.GetMask().isNull());
    EXPECT_EQ(component.GetMaskColor(), clBlack);
    EXPECT_EQ(component.GetMaskMode(), mmExclude);

    const QMetaObject* meta = component.metaObject();
    QStringList names;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        names << QString::fromLatin1(meta->property(i).name());
        EXPECT_TRUE(meta->property(i).isStored()) << names.last().toStdString(); // initial values too
    }
    EXPECT_EQ(names, QStringList({"Mask", "MaskColor", "MaskMode", "ShowAnimation", "Version"}));
    // The mode streams by name; the version never changes.
    EXPECT_TRUE(component.setProperty("MaskMode", QStringLiteral("mmInclude")));
    EXPECT_EQ(component.GetMaskMode(), mmInclude);
    component.setProperty("Version", QStringLiteral("1.0"));
    EXPECT_EQ(component.property("Version").toString(), QStringLiteral("3.02"));
}

TEST(AnimationFormShape, FormsWithoutUsableMaskStayRectangular)
{
    // No mask picture: colour and mode have no effect.
    QWidget form;
    form.resize(123, 77);
    auto* component = new TluxAnimationForm(&form);
    component->SetMaskColor(clWhite);
    component->SetMaskMode(mmInclude);
    component->Loaded();
    EXPECT_EQ(form.size(), QSize(123, 77));
    EXPECT_TRUE(form.mask().isEmpty());
    EXPECT_FALSE(component->MaskRegion() || component->PopupRegion());

    // A key colour the picture lacks, in include mode: sized, but no shape.
    component->SetMask(holedMask());
    component->SetMaskColor(clRed);
    component->Loaded();
    EXPECT_EQ(form.size(), QSize(200, 100));
    EXPECT_TRUE(form.mask().isEmpty());
    EXPECT_FALSE(component->PopupRegion());

    // The owner is not a form: sized, but no shape.
    auto* child = new QWidget(&form);
    auto* childComponent = new TluxAnimationForm(child);
    childComponent->SetMask(holedMask());
    childComponent->Loaded();
    EXPECT_EQ(child->size(), QSize(200, 100));
    EXPECT_TRUE(child->mask().isEmpty());
    EXPECT_FALSE(childComponent->PopupRegion());
}

TEST(AnimationFormShape, MaskSizesAndShapesTheForm)
{
    if (!haveScreen())
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    std::unique_ptr<SolidWidget> backdrop(makeWindow(Qt::darkGray, at(0, 0, 400, 300)));
    ASSERT_TRUE(showAndWait(backdrop.get(), at(0, 0, 400, 300), Qt::darkGray));

    std::unique_ptr<SolidWidget> form(makeWindow(Qt::red, at(50, 40, 320, 240)));
    auto* component = new TluxAnimationForm(form.get());
    component->SetMask(holedMask());
    form->resize(320, 240);
    component->Loaded();
    EXPECT_EQ(form->size(), QSize(200, 100));
    const QRegion shape = QRegion(0, 0, 200, 100) - kKeyPixels;
    EXPECT_TRUE(samePixels(form->mask(), shape));
    ASSERT_TRUE(component->PopupRegion());
    EXPECT_TRUE(samePixels(*component->PopupRegion(), shape));

    // On screen the key-colour pixels show the window behind.
    form->show();
    ASSERT_TRUE(waitUntil([] { return screenIs(at(51, 40, 199, 20), Qt::red); }));
    EXPECT_TRUE(screenIs(at(50, 40, 1, 100), Qt::darkGray));
    EXPECT_TRUE(screenIs(at(110, 60, 40, 30), Qt::darkGray));
    EXPECT_TRUE(screenIs(at(150, 60, 100, 80), Qt::red));

    // A new mask resizes the form but keeps the shape made at load time.
    QImage other(150, 50, QImage::Format_RGB32);
    other.fill(Qt::black);
    component->SetMask(other);
    EXPECT_EQ(form->size(), QSize(150, 50));
    EXPECT_TRUE(samePixels(form->mask(), shape));
}

TEST(AnimationFormShape, IncludeModeKeepsOnlyKeyPixels)
{
    QWidget form;
    auto* component = new TluxAnimationForm(&form);
    component->SetMask(holedMask());
    component->SetMaskMode(mmInclude);
    component->Loaded();
    EXPECT_TRUE(samePixels(form.mask(), kKeyPixels));
    EXPECT_TRUE(samePixels(*component->PopupRegion(), kKeyPixels));
}

class DerivedAnimationForm : public TluxAnimationForm {
public:
    using TluxAnimationForm::TluxAnimationForm;
};

TEST(FindAnimationForm, FirstComponentInChildOrder)
{
    EXPECT_EQ(FindAnimationForm(nullptr), nullptr);
    QWidget form;
    new QObject(&form);
    new TluxAnimationForm(new QWidget(&form)); // a child widget's, not the form's
    EXPECT_EQ(FindAnimationForm(&form), nullptr);

    auto* derived = new DerivedAnimationForm(&form);
    auto* plain = new TluxAnimationForm(&form);
    EXPECT_EQ(FindAnimationForm(&form), derived);
    delete derived;
    EXPECT_EQ(FindAnimationForm(&form), plain);
}

} // namespace
