// The registry's choice of grabber, the tree walk's clipping and the free grab
// functions' sizes and failure handling.

#include "effects/forms/buttongrabbers.h"
#include "effects/forms/formgrabber.h"
#include "effects/forms/scrollbargrabbers.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "tests/effects/forms/formfixture.h" // last: it brings Xlib

#include <stdexcept>

// A class of another library that calls itself a button: served by name.
class tbutton : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

// A widget whose grabber fails half-way.
class FailingWidget : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

// A form that draws its own frame when asked.
class SelfFramedForm : public QWidget {
    Q_OBJECT
public:
    SelfFramedForm() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint) {}
    int asked = 0;
    TPoint corner;
    bool hadContext = false;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == GrabNonClientEvent::eventType()) {
            auto* ask = static_cast<GrabNonClientEvent*>(e);
            ++asked;
            corner = TPoint(ask->X, ask->Y);
            hadContext = ask->DC != nullptr;
            ask->Drawn = true;
            return true;
        }
        return QWidget::event(e);
    }
};

namespace {

class FailingGrabber : public TluxWControlGrabber {
public:
    void GrabToBitmap(TBitmap*, int, int, QWidget*, const TRect&) override { throw std::runtime_error("grab failed"); }
    static const char* GrabberName() { return "FailingGrabber"; }
    static const QMetaObject* GetGrabberClassType() { return &FailingWidget::staticMetaObject; }
};

class GrabbingTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!formtest::haveScreen())
            GTEST_SKIP() << "needs an X server (xvfb-run)";
        formtest::place = QPoint(600, 760);
        FreeGrabberRegistry();
        formtest::startGrabbing();
    }
    void TearDown() override
    {
        FreeGrabberRegistry();
        RegisterStandardGrabbers();
    }
};

QPixmap gradientPicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 3 % 256, y * 5 % 256, (x ^ y) & 0xFF));
    return QPixmap::fromImage(image);
}

QRgb rgbAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

TEST_F(GrabbingTest, RegistryOrderAndNewestFirstChoice)
{
    const std::vector<TluxGrabberClass> order = RegisteredGrabbers();
    const std::vector<TluxGrabberClass> expected{
        GrabberClassOf<TluxFormGrabber>(),      GrabberClassOf<TluxButtonGrabber>(),
        GrabberClassOf<TluxBitBtnGrabber>(),    GrabberClassOf<TluxCheckBoxGrabber>(),
        GrabberClassOf<TluxScrollBoxGrabber>(), GrabberClassOf<TluxMemoGrabber>(),
        GrabberClassOf<TluxListBoxGrabber>()};
    EXPECT_EQ(order, expected);

    QWidget parent;
    QPushButton plain(QStringLiteral("Plain"), &parent);
    QPushButton withIcon(QIcon(gradientPicture(16, 16)), QStringLiteral("Icon"), &parent);
    QPlainTextEdit memo(&parent);
    QLabel label(&parent);
    // The bitmap-button grabber is newer than the push-button one and serves buttons with an icon.
    EXPECT_EQ(FindGrabberClass(&withIcon), GrabberClassOf<TluxBitBtnGrabber>());
    EXPECT_EQ(FindGrabberClass(&plain), GrabberClassOf<TluxButtonGrabber>());
    EXPECT_EQ(FindGrabberClass(&memo), GrabberClassOf<TluxMemoGrabber>());
    EXPECT_EQ(FindGrabberClass(&parent), GrabberClassOf<TluxFormGrabber>());
    EXPECT_EQ(FindGrabberClass(&label), GrabberClassOf<TluxWControlGrabber>());

    // A foreign class listed by name is served whatever the case of its name.
    tbutton foreign(&parent);
    EXPECT_EQ(FindGrabberClass(&foreign), GrabberClassOf<TluxButtonGrabber>());

    // A grabber registered later takes precedence; without a registry the fallback serves all.
    RegisterGrabber(GrabberClassOf<TluxCheckBoxGrabber>());
    EXPECT_EQ(FindGrabberClass(&plain), GrabberClassOf<TluxButtonGrabber>());
    FreeGrabberRegistry();
    EXPECT_EQ(FindGrabberClass(&withIcon), GrabberClassOf<TluxWControlGrabber>());
    EXPECT_EQ(FindGrabberClass(&parent), GrabberClassOf<TluxWControlGrabber>());
}

TEST_F(GrabbingTest, BorderlessFormFilledByAnImageGrabsAsTheImage)
{
    const QPixmap picture = gradientPicture(123, 77);
    auto form = formtest::makeForm(123, 77);
    auto* image = new QLabel(form.get());
    image->setPixmap(picture);
    image->setGeometry(0, 0, 123, 77);
    formtest::showForm(form.get());
    const QImage grab = formtest::grabOf(form.get());
    EXPECT_EQ(luxtest::differingPixels(grab.convertToFormat(QImage::Format_RGB32), picture.toImage()), 0);
}

TEST_F(GrabbingTest, HiddenChildrenAbsentAndChildrenClippedInPlace)
{
    auto form = formtest::makeForm(120, 90);
    form->setStyleSheet(QString()); // plain window colour
    auto* panel = new QFrame(form.get());
    panel->setGeometry(10, 10, 60, 50);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 255));
    panel->setPalette(pal);
    // A red child sticking out of the panel at the right and the bottom.
    auto* child = new QWidget(panel);
    child->setGeometry(40, 30, 50, 50);
    child->setAutoFillBackground(true);
    pal.setColor(QPalette::Window, QColor(255, 0, 0));
    child->setPalette(pal);
    // A green child that is hidden.
    auto* hidden = new QWidget(form.get());
    hidden->setGeometry(80, 5, 30, 30);
    hidden->setAutoFillBackground(true);
    pal.setColor(QPalette::Window, QColor(0, 255, 0));
    hidden->setPalette(pal);
    hidden->hide();
    formtest::showForm(form.get());

    const QImage grab = formtest::grabOf(form.get());
    const QRgb face = form->palette().color(QPalette::Window).rgb() & 0xFFFFFF;
    EXPECT_EQ(rgbAt(grab, 12, 12), 0x0000FFu);
    EXPECT_EQ(rgbAt(grab, 50, 40), 0xFF0000u); // child's corner at panel (40, 30)
    EXPECT_EQ(rgbAt(grab, 69, 59), 0xFF0000u); // last pixel inside the panel
    EXPECT_EQ(rgbAt(grab, 70, 45), face);      // cut at the panel's right edge
    EXPECT_EQ(rgbAt(grab, 55, 60), face);      // and at its bottom edge
    EXPECT_EQ(rgbAt(grab, 90, 20), face);      // the hidden child is absent
    EXPECT_EQ(luxtest::differingPixels(grab.convertToFormat(QImage::Format_RGB32),
                                       formtest::screenOf(form.get()).convertToFormat(QImage::Format_RGB32)),
              0);

    // A part of the form: the same pixels, moved to the part's corner.
    const std::unique_ptr<TluxBitmap> part = GrabToLuBitmap(form.get(), TRect(45, 35, 75, 65));
    ASSERT_EQ(part->Width, 30);
    ASSERT_EQ(part->Height, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(part->GetPixel(x, y) & 0xFFFFFF, rgbAt(grab, 45 + x, 35 + y)) << x << "," << y;
}

TEST_F(GrabbingTest, FormGrabbedBeforeItIsShownLooksAsItWillOnScreen)
{
    auto form = formtest::makeForm(220, 140);
    auto* layout = new QVBoxLayout(form.get());
    layout->addWidget(new QLabel(QStringLiteral("Sending file")));
    auto* memo = new QPlainTextEdit;
    memo->setPlainText(QStringLiteral("line\n").repeated(30));
    layout->addWidget(memo);
    auto* row = new QHBoxLayout;
    row->addWidget(new QPushButton(QStringLiteral("Start")));
    row->addWidget(new QCheckBox(QStringLiteral("Fixed size")));
    layout->addLayout(row);
    ASSERT_FALSE(form->isVisible());
    const QImage before = formtest::grabOf(form.get());
    formtest::showForm(form.get());
    EXPECT_EQ(luxtest::differingPixels(before.convertToFormat(QImage::Format_RGB32),
                                       formtest::screenOf(form.get()).convertToFormat(QImage::Format_RGB32)),
              0);
}

TEST_F(GrabbingTest, SizesOfEmptyAndOffScreenGrabs)
{
    auto form = formtest::makeForm(50, 40);
    formtest::showForm(form.get());
    EXPECT_TRUE(GrabToLuBitmap(form.get(), TRect(10, 10, 10, 30))->Empty());
    EXPECT_TRUE(GrabToLuBitmap(form.get(), TRect(10, 10, 30, 5))->Empty());
    EXPECT_TRUE(GrabToBitmap(form.get(), TRect(0, 0, 0, 40))->Empty());
    // A part partly outside the control keeps the requested size.
    const std::unique_ptr<TluxBitmap> beyond = GrabToLuBitmap(form.get(), TRect(30, 20, 80, 70));
    EXPECT_EQ(beyond->Width, 50);
    EXPECT_EQ(beyond->Height, 50);

    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const std::unique_ptr<TluxBitmap> edge = GrabDesktopToLuBitmap(TRect(sw - 30, sh - 20, sw + 70, sh + 30));
    EXPECT_EQ(edge->Width, 100);
    EXPECT_EQ(edge->Height, 50);
    EXPECT_TRUE(GrabDesktopToLuBitmap(TRect(5, 5, 5, 50))->Empty());

    // The screen copy shows the form where it lies.
    const std::unique_ptr<TluxBitmap> desk = GrabDesktopToLuBitmap(TRect::fromQRect(form->frameGeometry()));
    QImage deskImage;
    desk->AssignTo(deskImage);
    EXPECT_EQ(luxtest::differingPixels(deskImage.convertToFormat(QImage::Format_RGB32), formtest::grabOf(form.get()).convertToFormat(QImage::Format_RGB32)), 0);
}

TEST_F(GrabbingTest, FailingGrabberRaisesThroughTheFreeFunctions)
{
    RegisterGrabber(GrabberClassOf<FailingGrabber>());
    auto form = formtest::makeForm(60, 40);
    auto* failing = new FailingWidget(form.get());
    failing->setGeometry(5, 5, 20, 20);
    formtest::showForm(form.get());
    EXPECT_THROW(GrabToLuBitmap(form.get(), TRect(0, 0, 60, 40)), std::runtime_error);
    EXPECT_THROW(GrabToBitmap(failing, TRect(0, 0, 20, 20)), std::runtime_error);
    // Nothing of the failed grab stays behind: the next grab starts clean.
    EXPECT_EQ(luxgrab::grabRoot(), nullptr);
    failing->hide();
    EXPECT_EQ(luxtest::differingPixels(formtest::grabOf(form.get()).convertToFormat(QImage::Format_RGB32),
                                       formtest::screenOf(form.get()).convertToFormat(QImage::Format_RGB32)),
              0);
}

TEST_F(GrabbingTest, FormThatDrawsItsOwnFrameIsAskedFirst)
{
    SelfFramedForm form;
    form.setGeometry(QRect(formtest::formPlace(), QSize(80, 60)));
    (new QPushButton(QStringLiteral("OK"), &form))->setGeometry(5, 20, 60, 25);
    formtest::showForm(&form);
    const std::unique_ptr<TluxBitmap> grab = GrabToLuBitmap(&form, TRect(7, 3, 80, 60));
    EXPECT_EQ(form.asked, 1);
    EXPECT_EQ(form.corner, TPoint(-7, -3));
    EXPECT_TRUE(form.hadContext);
    QImage picture;
    grab->AssignTo(picture);
    EXPECT_EQ(luxtest::differingPixels(picture.convertToFormat(QImage::Format_RGB32),
                                       formtest::screenOf(&form).copy(7, 3, 73, 57).convertToFormat(QImage::Format_RGB32)),
              0);
}

} // namespace

#include "grabbing_test.moc"
