// What the standard grabbers draw beyond a widget's own paint: scroll bars of
// scroll areas, the face and caption of buttons, the box of check boxes, and the
// frame and caption of forms.

#include "effects/forms/buttongrabbers.h"
#include "effects/forms/formgrabber.h"
#include "effects/forms/scrollbargrabbers.h"
#include "effects/util/themes.h"
#include "effects/forms/windowstyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <gtest/gtest.h>

#include "tests/effects/forms/formfixture.h" // last: it brings Xlib

// Classes of another library, served by name: they paint nothing themselves, so
// all that shows is what the grabbers draw.
class TButton : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};
class TCheckBox : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

namespace {

class StandardGrabbersTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!formtest::haveScreen())
            GTEST_SKIP() << "needs an X server (xvfb-run)";
        formtest::place = QPoint(950, 400);
        formtest::startGrabbing();
    }
};

QRgb rgbAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

QRgb role(QPalette::ColorRole r)
{
    return QApplication::palette().color(r).rgb() & 0xFFFFFF;
}

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

QString lines(int n)
{
    QString text;
    for (int i = 0; i < n; ++i)
        text += QStringLiteral("line %1\n").arg(i);
    return text;
}

TEST_F(StandardGrabbersTest, MemoScrollBarComesFromTheGrabber)
{
    auto form = formtest::makeForm(160, 120);
    auto* memo = new QPlainTextEdit(form.get());
    memo->setGeometry(5, 7, 140, 100);
    memo->setPlainText(lines(40));
    memo->verticalScrollBar()->setValue(10);
    formtest::showForm(form.get());
    const QImage screen = rgb(formtest::screenOf(form.get()));
    const QImage grab = rgb(formtest::grabOf(form.get()));
    EXPECT_EQ(luxtest::differingPixels(grab, screen), 0);

    // The bar as the record reports it, in form coordinates.
    SCROLLBARINFO info;
    ASSERT_EQ(MyGetScrollBarInfo(memo, OBJID_VSCROLL, info), 1);
    const QPoint bar = form->mapFromGlobal(QPoint(info.rcScrollBar.Left, info.rcScrollBar.Top));
    const int a = GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = info.rcScrollBar.Height();
    // Arrows at both ends: raised buttons with their light inner edge.
    EXPECT_EQ(rgbAt(grab, bar.x() + 1, bar.y() + 1), role(QPalette::Light));
    EXPECT_EQ(rgbAt(grab, bar.x() + 1, bar.y() + barHeight - a + 1), role(QPalette::Light));
    // The thumb starts where the record says, the track between is a half-tone.
    EXPECT_EQ(rgbAt(grab, bar.x() + 1, bar.y() + info.xyThumbTop + 1), role(QPalette::Light));
    const int trackY = bar.y() + a + 1;
    ASSERT_LT(a + 2, info.xyThumbTop);
    EXPECT_NE(rgbAt(grab, bar.x() + 4, trackY), rgbAt(grab, bar.x() + 5, trackY));
    EXPECT_EQ(rgbAt(grab, bar.x() + 4, trackY), rgbAt(grab, bar.x() + 5, trackY + 1));

    // Without the memo grabber the bar is missing: it lies outside the client area.
    FreeGrabberRegistry();
    const QImage bare = rgb(formtest::grabOf(form.get()));
    RegisterStandardGrabbers();
    EXPECT_GT(luxtest::differingPixels(bare, screen), qint64(a * (barHeight - 2 * a) / 2));
    EXPECT_EQ(luxtest::differingPixels(bare.copy(0, 0, bar.x(), 120), screen.copy(0, 0, bar.x(), 120)), 0);
}

TEST_F(StandardGrabbersTest, MemoWithoutBarsIsThePlainWindowPaint)
{
    auto form = formtest::makeForm(160, 120);
    auto* memo = new QPlainTextEdit(form.get());
    memo->setGeometry(5, 7, 140, 100);
    memo->setPlainText(QStringLiteral("short"));
    formtest::showForm(form.get());
    EXPECT_EQ(GetWindowLong(memo, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0u);
    const QImage withGrabbers = rgb(formtest::grabOf(form.get()));
    FreeGrabberRegistry();
    const QImage fallback = rgb(formtest::grabOf(form.get()));
    RegisterStandardGrabbers();
    EXPECT_EQ(luxtest::differingPixels(withGrabbers, fallback), 0);
    EXPECT_EQ(luxtest::differingPixels(withGrabbers, rgb(formtest::screenOf(form.get()))), 0);
}

TEST_F(StandardGrabbersTest, ScrollBoxWithBothBarsFillsTheCorner)
{
    auto form = formtest::makeForm(170, 140);
    form->setAutoFillBackground(true);
    QPalette pal = form->palette();
    pal.setColor(QPalette::Window, QColor(200, 40, 40)); // not the face colour
    form->setPalette(pal);
    auto* area = new QScrollArea(form.get());
    area->setPalette(QApplication::palette());
    area->setGeometry(10, 10, 150, 120);
    auto* inner = new QLabel(QStringLiteral("contents"));
    inner->setMinimumSize(400, 400);
    area->setWidget(inner);
    formtest::showForm(form.get());
    ASSERT_EQ(GetWindowLong(area, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
    const QImage grab = rgb(formtest::grabOf(form.get()));
    // The corner between the bars, inside the two-pixel edge.
    const int a = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(rgbAt(grab, 10 + 150 - 2 - a / 2, 10 + 120 - 2 - a / 2), QColor(QApplication::palette().color(QPalette::Button)).rgb() & 0xFFFFFF);
    // The sunken edge of the scroll area, drawn by the grabber.
    EXPECT_EQ(rgbAt(grab, 10, 10), role(QPalette::Dark));
    EXPECT_EQ(rgbAt(grab, 11, 11), role(QPalette::Shadow));
    EXPECT_EQ(rgbAt(grab, 159, 129), role(QPalette::Light));
}

TEST_F(StandardGrabbersTest, ButtonGrabberDrawsFaceCaptionAndDefaultFrame)
{
    auto form = formtest::makeForm(120, 60);
    auto* button = new TButton(form.get());
    button->setGeometry(10, 10, 75, 25);
    button->setProperty("text", QStringLiteral("Go"));
    auto* defaultButton = new TButton(form.get());
    defaultButton->setGeometry(10, 35, 75, 25);
    defaultButton->setProperty("default", true);
    formtest::showForm(form.get());
    const QImage grab = rgb(formtest::grabOf(form.get()));

    // The face: the style's raised bevel over the whole button.
    EXPECT_EQ(rgbAt(grab, 10, 10), role(QPalette::Light));
    EXPECT_EQ(rgbAt(grab, 84, 34), role(QPalette::Shadow));
    EXPECT_EQ(rgbAt(grab, 83, 33), role(QPalette::Dark));
    // The caption: text-coloured pixels near the middle, none in the other button.
    auto inkIn = [&](int top) {
        int ink = 0;
        for (int y = top + 5; y < top + 20; ++y)
            for (int x = 30; x < 65; ++x)
                ink += rgbAt(grab, x, y) != role(QPalette::Button) ? 1 : 0;
        return ink;
    };
    EXPECT_GT(inkIn(10), 10);
    EXPECT_EQ(inkIn(35), 0);
    // The default button's outline in the style's shadow colour, the face inside it.
    EXPECT_EQ(rgbAt(grab, 10, 35), role(QPalette::Shadow));
    EXPECT_EQ(rgbAt(grab, 11, 36), role(QPalette::Light));
}

TEST_F(StandardGrabbersTest, CheckBoxGrabberDrawsTheStylesBox)
{
    // Reference boxes: real check boxes in each state painted by Qt.
    auto reference = [](Qt::CheckState state) {
        QCheckBox box;
        box.setTristate(true);
        box.setCheckState(state);
        box.resize(100, 17);
        QImage image(box.size(), QImage::Format_ARGB32);
        image.fill(0xFF000000u);
        QPainter p(&image);
        box.render(&p, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        return rgb(image.copy(0, 2, 13, 13));
    };
    for (Qt::CheckState state : {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked}) {
        auto form = formtest::makeForm(120, 40);
        auto* box = new TCheckBox(form.get());
        box->setGeometry(10, 10, 100, 17);
        box->setProperty("checkState", int(state));
        box->setProperty("text", QStringLiteral("Grayed"));
        formtest::showForm(form.get());
        const QImage grab = rgb(formtest::grabOf(form.get()));
        // The box is vertically centred at the left edge and drawn as Qt draws it.
        EXPECT_EQ(luxtest::differingPixels(grab.copy(10, 12, 13, 13), reference(state)), 0) << int(state);
        // The caption starts right of the box.
        int firstInk = -1;
        for (int x = 23; x < 110 && firstInk < 0; ++x)
            for (int y = 10; y < 27; ++y)
                if (rgbAt(grab, x, y) != role(QPalette::Window)) {
                    firstInk = x;
                    break;
                }
        EXPECT_GE(firstInk - 10, 13 + 4) << int(state);
        EXPECT_LE(firstInk - 10, 13 + 10) << int(state);
    }
}

TEST_F(StandardGrabbersTest, ClassicFormFrameAndCaption)
{
    TluxFormFrame frame;
    frame.Width = 200;
    frame.Height = 120;
    frame.Border = 4;
    frame.Top = 4 + GetSystemMetrics(SM_CYCAPTION);
    frame.BorderStyle = bsSizeable;
    frame.BorderIcons = biSystemMenu | biMinimize | biMaximize;
    QWidget window;
    window.setWindowTitle(QStringLiteral("Caption"));
    frame.Window = &window;

    QImage image(220, 140, QImage::Format_ARGB32);
    image.fill(0xFF000000u);
    DeviceContext dc(&image);
    TluxFormGrabber::DrawClassicFrame(&dc, 10, 10, frame);
    const QImage out = rgb(image);
    EXPECT_EQ(rgbAt(out, 9, 9), 0x000000u); // nothing outside the form
    EXPECT_EQ(rgbAt(out, 10, 10), role(QPalette::Light));
    EXPECT_EQ(rgbAt(out, 209, 129), role(QPalette::Shadow));
    EXPECT_EQ(rgbAt(out, 11, 11), role(QPalette::Button));
    EXPECT_EQ(rgbAt(out, 208, 128), role(QPalette::Dark));
    EXPECT_EQ(rgbAt(out, 12, 60), role(QPalette::Button)); // face inside the frame
    // The caption runs from the active caption colour to its gradient colour.
    const int captionY = 10 + 4 + 2;
    const QColor left = QColor::fromRgb(out.pixel(10 + 4 + 1, captionY));
    const QColor right = QColor::fromRgb(out.pixel(10 + 200 - 4 - 3 * GetSystemMetrics(SM_CXSIZE) - 2, captionY));
    EXPECT_LT(left.blue() - right.blue(), 0);
    EXPECT_GT(left.blue(), left.red());
    // Caption buttons at the right: raised faces, not caption colour.
    const int cx = GetSystemMetrics(SM_CXSIZE);
    const int closeLeft = 10 + 200 - 4 - cx;
    EXPECT_EQ(rgbAt(out, closeLeft, captionY), role(QPalette::Light));
    EXPECT_EQ(rgbAt(out, closeLeft - cx, captionY), role(QPalette::Light));
    EXPECT_EQ(rgbAt(out, closeLeft - 2 * cx + 2, captionY), role(QPalette::Light));

    // A borderless form is only the face.
    frame.BorderStyle = bsNone;
    image.fill(0xFF000000u);
    TluxFormGrabber::DrawClassicFrame(&dc, 10, 10, frame);
    QImage face(200, 120, QImage::Format_RGB32);
    face.fill(QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(luxtest::differingPixels(rgb(image).copy(10, 10, 200, 120), face), 0);
}

TEST_F(StandardGrabbersTest, ThemedFormFrameComesFromTheWindowClass)
{
    ASSERT_NE(OpenThemeData, nullptr) << "the theme module is bound at start-up";
    TluxFormFrame frame;
    frame.Width = 200;
    frame.Height = 120;
    frame.Border = 4;
    frame.Top = 4 + GetSystemMetrics(SM_CYCAPTION);
    frame.BorderStyle = bsSingle;
    frame.BorderIcons = biSystemMenu | biMinimize | biMaximize;
    QImage image(220, 140, QImage::Format_ARGB32);
    image.fill(0xFF000000u);
    DeviceContext dc(&image);
    TluxFormGrabber::DrawThemedFrame(&dc, 10, 10, frame);
    const QImage out = rgb(image);
    const QRgb face = role(QPalette::Button);
    EXPECT_EQ(rgbAt(out, 9, 9), 0x000000u);
    // The caption is the theme's, not the face.
    EXPECT_NE(rgbAt(out, 10 + 100, 10 + 6), face);
    // The close button at the right is a raised button face.
    const int cx = GetSystemMetrics(SM_CXSIZE);
    EXPECT_EQ(rgbAt(out, 10 + 200 - 4 - cx + 2, 10 + 4 + 2), role(QPalette::Light));
    // The bottom frame piece reaches the bottom-left corner like the other corners.
    EXPECT_EQ(rgbAt(out, 10, 129), rgbAt(out, 209, 129));
    EXPECT_EQ(rgbAt(out, 10 + 100, 129), rgbAt(out, 10, 129));
    // The client area is left as the face for the window's own paint.
    EXPECT_EQ(rgbAt(out, 10 + 100, 10 + 60), face);
}

TEST_F(StandardGrabbersTest, FormsWithoutWindowManagerFrameHaveNoFrame)
{
    auto form = formtest::makeForm(80, 60);
    const TluxFormFrame frame = FormFrameOf(form.get());
    EXPECT_EQ(frame.BorderStyle, bsNone);
    EXPECT_EQ(frame.Border, 0);
    EXPECT_EQ(frame.Top, 0);
    EXPECT_EQ(frame.Width, 80);

    QWidget dialog(nullptr, Qt::Dialog);
    dialog.setFixedSize(100, 80);
    EXPECT_EQ(FormFrameOf(&dialog).BorderStyle, bsDialog);
    EXPECT_EQ(FormFrameOf(&dialog).BorderIcons, TBorderIcons(biSystemMenu));
    QWidget tool(nullptr, Qt::Tool);
    EXPECT_EQ(FormFrameOf(&tool).BorderStyle, bsSizeToolWin);
    QWidget custom(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint);
    // Qt adds the system menu to a window with a minimize button.
    EXPECT_EQ(FormFrameOf(&custom).BorderIcons, TBorderIcons(biSystemMenu | biMinimize));
}

} // namespace

#include "standardgrabbers_test.moc"
