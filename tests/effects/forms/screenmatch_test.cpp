// Grabs of forms compared with the screen: each standard control kind alone on a
// frameless form, and an About-box-like form.


#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextEdit>
#include <gtest/gtest.h>

#include "tests/effects/forms/formfixture.h" // last: it brings Xlib

#include <functional>

namespace {

QPixmap samplePicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 255) / w, (y * 255) / h, ((x + y) * 7) & 0xFF));
    return QPixmap::fromImage(image);
}

QString manyLines(int n)
{
    QString text;
    for (int i = 0; i < n; ++i)
        text += QStringLiteral("Line %1 of the memo, long enough to need a horizontal bar\n").arg(i);
    return text;
}

struct Kind {
    const char* name;
    std::function<void(QWidget*)> build;
    bool focusFirstChild = false;
};

std::vector<Kind> kinds()
{
    return {
        {"push button", [](QWidget* f) { (new QPushButton(QStringLiteral("Start"), f))->setGeometry(13, 11, 75, 25); }},
        {"default push button",
         [](QWidget* f) {
             auto* b = new QPushButton(QStringLiteral("OK"), f);
             b->setGeometry(13, 11, 75, 25);
             b->setAutoDefault(true);
             b->setDefault(true);
         }},
        {"focused push button",
         [](QWidget* f) { (new QPushButton(QStringLiteral("Start"), f))->setGeometry(13, 11, 75, 25); }, true},
        {"focused check box",
         [](QWidget* f) { (new QCheckBox(QStringLiteral("Fixed data size"), f))->setGeometry(13, 11, 130, 17); }, true},
        {"disabled push button",
         [](QWidget* f) {
             auto* b = new QPushButton(QStringLiteral("Stop"), f);
             b->setGeometry(13, 11, 75, 25);
             b->setEnabled(false);
         }},
        {"push button with icon",
         [](QWidget* f) {
             auto* b = new QPushButton(QIcon(samplePicture(16, 16)), QStringLiteral("Open"), f);
             b->setGeometry(13, 11, 90, 27);
         }},
        {"check box",
         [](QWidget* f) {
             auto* c = new QCheckBox(QStringLiteral("Fixed data size"), f);
             c->setGeometry(13, 11, 130, 17);
             c->setChecked(true);
         }},
        {"grayed check box",
         [](QWidget* f) {
             auto* c = new QCheckBox(QStringLiteral("Partly"), f);
             c->setGeometry(13, 11, 130, 17);
             c->setTristate(true);
             c->setCheckState(Qt::PartiallyChecked);
         }},
        {"scroll area",
         [](QWidget* f) {
             auto* area = new QScrollArea(f);
             area->setGeometry(7, 9, 150, 110);
             auto* inner = new QLabel(QStringLiteral("Scrolled contents"));
             inner->setMinimumSize(300, 260);
             area->setWidget(inner);
             area->horizontalScrollBar()->setValue(37);
             area->verticalScrollBar()->setValue(20);
         }},
        {"plain text edit",
         [](QWidget* f) {
             auto* memo = new QPlainTextEdit(f);
             memo->setGeometry(7, 9, 170, 120);
             memo->setLineWrapMode(QPlainTextEdit::NoWrap);
             memo->setPlainText(manyLines(30));
             memo->verticalScrollBar()->setValue(4);
         }},
        {"text edit",
         [](QWidget* f) {
             auto* memo = new QTextEdit(f);
             memo->setGeometry(8, 9, 171, 121);
             memo->setPlainText(manyLines(25));
         }},
        {"list widget",
         [](QWidget* f) {
             auto* list = new QListWidget(f);
             list->setGeometry(9, 8, 140, 100);
             for (int i = 1; i <= 20; ++i)
                 list->addItem(QStringLiteral("COM%1").arg(i));
             list->setCurrentRow(2);
         }},
        {"line edit", [](QWidget* f) { (new QLineEdit(QStringLiteral("50"), f))->setGeometry(13, 11, 100, 21); }},
        {"combo box",
         [](QWidget* f) {
             auto* c = new QComboBox(f);
             c->addItems({QStringLiteral("9600"), QStringLiteral("115200")});
             c->setGeometry(13, 11, 100, 21);
         }},
        {"progress bar",
         [](QWidget* f) {
             auto* p = new QProgressBar(f);
             p->setGeometry(13, 11, 150, 18);
             p->setValue(42);
         }},
        {"label", [](QWidget* f) { (new QLabel(QStringLiteral("Packets: 17"), f))->setGeometry(13, 11, 100, 15); }},
        {"radio button",
         [](QWidget* f) {
             auto* r = new QRadioButton(QStringLiteral("Lines"), f);
             r->setGeometry(13, 11, 100, 17);
             r->setChecked(true);
         }},
        {"group box",
         [](QWidget* f) {
             auto* g = new QGroupBox(QStringLiteral("Port"), f);
             g->setGeometry(9, 7, 150, 80);
             (new QLabel(QStringLiteral("COM1"), g))->setGeometry(10, 20, 60, 15);
         }},
    };
}

TEST(ScreenMatch, EachControlKindAloneOnAForm)
{
    if (!formtest::haveScreen())
        GTEST_SKIP() << "needs an X server (xvfb-run)";
    formtest::startGrabbing();
    for (const Kind& kind : kinds()) {
        auto form = formtest::makeForm(200, 150);
        kind.build(form.get());
        formtest::showForm(form.get());
        if (kind.focusFirstChild) {
            form->activateWindow();
            form->findChild<QWidget*>()->setFocus(Qt::TabFocusReason);
            // A window manager activates the window when it gets round to it,
            // or refuses to (focus-stealing prevention): the grab is then
            // compared with the unfocused control on the screen.
            for (int wait = 0; wait < 60 && !form->findChild<QWidget*>()->hasFocus(); ++wait)
                luxtest::processEventsFor(50);
            if (!form->findChild<QWidget*>()->hasFocus())
                std::printf("%s: the window manager gave no focus\n", kind.name);
        }
        const QImage screen = formtest::screenOf(form.get());
        const QImage grab = formtest::grabOf(form.get());
        const double match = formtest::matchOf(grab, screen);
        RecordProperty(kind.name, QString::number(match * 100.0, 'f', 3).toStdString());
        std::printf("match %-22s %.3f %%\n", kind.name, match * 100.0);
        EXPECT_GE(match, 0.99) << kind.name;

        // The control alone, as the animation of a single control grabs it.
        QWidget* control = form->findChild<QWidget*>();
        const std::unique_ptr<TluxBitmap> alone = GrabToLuBitmap(control, TRect(0, 0, control->width(), control->height()));
        QImage alonePicture;
        alone->AssignTo(alonePicture);
        const double aloneMatch = formtest::matchOf(alonePicture, screen.copy(control->geometry()));
        std::printf("match %-22s %.3f %% (control alone)\n", kind.name, aloneMatch * 100.0);
        EXPECT_GE(aloneMatch, 0.99) << kind.name << " alone";
    }
}

// Like the tool's About box: a raised panel holding a picture and labels, and a
// default push button that has the focus.
TEST(ScreenMatch, AboutBoxIsIdentical)
{
    if (!formtest::haveScreen())
        GTEST_SKIP() << "needs an X server (xvfb-run)";
    formtest::startGrabbing();
    auto form = formtest::makeForm(310, 240);
    form->setWindowTitle(QStringLiteral("About"));
    auto* panel = new QFrame(form.get());
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(8, 8, 294, 185);
    auto* image = new QLabel(panel);
    image->setPixmap(samplePicture(121, 77));
    image->setGeometry(8, 8, 121, 77);
    (new QLabel(QStringLiteral("MSP430 Flash Update"), panel))->setGeometry(140, 10, 140, 15);
    (new QLabel(QStringLiteral("Version 1.0"), panel))->setGeometry(140, 30, 140, 15);
    auto* link = new QLabel(QStringLiteral("<a href=\"http://example.com\">Web site</a>"), panel);
    link->setGeometry(140, 50, 140, 15);
    auto* note = new QLabel(QStringLiteral("Sends a file to a board over a serial port, one line per tick."), panel);
    note->setWordWrap(true);
    note->setGeometry(8, 100, 278, 40);
    auto* ok = new QPushButton(QStringLiteral("OK"), form.get());
    ok->setGeometry(117, 203, 75, 25);
    ok->setAutoDefault(true);
    ok->setDefault(true);
    formtest::showForm(form.get());
    form->activateWindow();
    ok->setFocus(Qt::TabFocusReason);
    luxtest::processEventsFor(200);

    const QImage screen = formtest::screenOf(form.get());
    const QImage grab = formtest::grabOf(form.get());
    const double match = formtest::matchOf(grab, screen);
    RecordProperty("about box", QString::number(match * 100.0, 'f', 3).toStdString());
    std::printf("match %-22s %.3f %% (button focused: %s)\n", "about box", match * 100.0, ok->hasFocus() ? "yes" : "no");
    EXPECT_EQ(luxtest::differingPixels(grab.convertToFormat(QImage::Format_RGB32), screen.convertToFormat(QImage::Format_RGB32)), 0);
}

} // namespace
