// The main window as laid out: every control under its name, place and text,
// the log box's pop-up menu, the lists, and the window's frame after the size
// guard has run.

#include "tests/app/window/form1fixture.h"
#include "app/window/logbox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

struct Placed {
    const char* name;
    const char* className;
    QRect geometry;
    const char* text; // nullptr: no text to check
};

// The reference layout (positions inside GroupBox1 for the settings controls).
const Placed Layout[] = {
    {"Label8", "QLabel", {8, 8, 97, 13}, "0"}, // the counter, "0" from start-up
    {"Edit3", "QLineEdit", {112, 8, 265, 21}, ""},
    {"Button2", "QPushButton", {384, 8, 75, 25}, "Brawse..."},
    {"BitBtn2", "QPushButton", {464, 8, 65, 25}, "&About"},
    {"GroupBox1", "QGroupBox", {8, 32, 193, 385}, nullptr},
    {"ComboBox1", "QComboBox", {96, 16, 81, 21}, nullptr},
    {"ComboBox2", "QComboBox", {96, 64, 81, 21}, nullptr},
    {"ComboBox3", "QComboBox", {96, 104, 81, 21}, nullptr},
    {"ComboBox4", "QComboBox", {96, 144, 81, 21}, nullptr},
    {"ComboBox5", "QComboBox", {96, 184, 81, 21}, nullptr},
    {"Edit1", "QLineEdit", {96, 224, 81, 21}, nullptr},
    {"Edit2", "QLineEdit", {96, 256, 81, 21}, nullptr},
    {"Button3", "QPushButton", {16, 320, 75, 25}, "Set Port"},
    {"Button1", "QPushButton", {104, 320, 75, 25}, "Start"},
    {"BitBtn1", "QPushButton", {24, 384, 73, 25}, "&Help"},
    {"Memo1", "LogBox", {208, 40, 321, 377}, nullptr},
    {"ProgressBar1", "QProgressBar", {0, 420, 539, 17}, nullptr},
};

QString textOf(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    return QString();
}

class Form1Layout : public testing::Test, public Form1Fixture {
protected:
    void SetUp() override { create(); }
};

} // namespace

TEST_F(Form1Layout, EveryControlUnderItsNamePlaceAndText)
{
    EXPECT_EQ(form->windowTitle(), "TK790 Flash Update Tools V1.00 ");
    EXPECT_EQ(form->size(), QSize(539, 437));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "the user cannot resize the window";
    EXPECT_EQ(form->font().pointSize(), 8);

    for (const Placed& p : Layout) {
        QWidget* widget = find<QWidget>(p.name);
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_TRUE(widget->inherits(p.className)) << p.name;
        EXPECT_EQ(widget->geometry(), p.geometry) << p.name;
        if (p.text) {
            EXPECT_EQ(textOf(widget), QString::fromLatin1(p.text)) << p.name;
        }
    }
    auto* group = find<QGroupBox>("GroupBox1");
    for (const char* inside : {"ComboBox1", "Edit1", "Edit2", "CheckBox1", "Button3", "Button1", "Label6"})
        EXPECT_EQ(find<QWidget>(inside)->parentWidget(), group) << inside;
    EXPECT_FALSE(find<QLineEdit>("Edit3")->isEnabled());

    // The check box keeps its right edge in line with the boxes; a font wider
    // than the reference one widens it to the left so its text stays whole.
    auto* check = find<QCheckBox>("CheckBox1");
    EXPECT_EQ(check->text(), "Pause By Data Size");
    EXPECT_EQ(check->geometry().right(), 64 + 113 - 1);
    EXPECT_EQ(check->geometry().top(), 288);
    EXPECT_GE(check->width(), std::max(113, check->sizeHint().width()));

    const char* labels[] = {"Part : ", "Baud Rate : ", "Parity : ", "Byte Size : ", "Stop Bits : ",
                            "Time Gap (ms) : ", "Data Size : "};
    const char* boxes[] = {"ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "Edit1", "Edit2"};
    for (int i = 0; i < 7; ++i) {
        auto* label = find<QLabel>(qPrintable(QStringLiteral("Label%1").arg(i + 1)));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), labels[i]);
        EXPECT_TRUE(label->alignment() & Qt::AlignRight);
        EXPECT_LT(label->geometry().right(), find<QWidget>(boxes[i])->x()) << "before its box";
        EXPECT_GE(label->width(), label->sizeHint().width()) << labels[i] << " is cut";
    }

    const QIcon help = form->style()->standardIcon(QStyle::SP_DialogHelpButton);
    for (const char* name : {"BitBtn1", "BitBtn2"}) {
        const QIcon icon = find<QPushButton>(name)->icon();
        ASSERT_FALSE(icon.isNull()) << name;
        EXPECT_EQ(icon.pixmap(16).toImage(), help.pixmap(16).toImage()) << name;
    }
}

TEST_F(Form1Layout, ListsCounterProgressAndLogAtStartUp)
{
    auto items = [this](const char* name) {
        QStringList all;
        auto* box = find<QComboBox>(name);
        EXPECT_TRUE(box->isEditable()) << name;
        for (int i = 0; i < box->count(); ++i)
            all << box->itemText(i);
        return all;
    };
    EXPECT_EQ(items("ComboBox1"), ListItems(SettingsList::Port));
    EXPECT_EQ(items("ComboBox2"), ListItems(SettingsList::Baud));
    EXPECT_EQ(items("ComboBox3"), ListItems(SettingsList::Parity));
    EXPECT_EQ(items("ComboBox4"), ListItems(SettingsList::ByteSize));
    EXPECT_EQ(items("ComboBox5"), ListItems(SettingsList::StopBits));
    EXPECT_EQ(find<QComboBox>("ComboBox2")->itemText(8), "43000");

    EXPECT_EQ(find<QLabel>("Label8")->text(), "0");
    auto* bar = find<QProgressBar>("ProgressBar1");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);

    auto* memo = find<LogBox>("Memo1");
    EXPECT_TRUE(memo->document()->defaultTextOption().alignment() & Qt::AlignRight);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(memo->isReadOnly());
}

TEST_F(Form1Layout, PopupMenuItemsCaptionsAndShortcuts)
{
    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
    };
    const Item expected[] = {
        {"SelectAll1", "Select All ", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {"ClearAllCtrlD1", "Clear All ", QKeySequence(Qt::CTRL | Qt::Key_D)},
        {"CopyCtrlC1", "Copy", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"CutCtrlX1", "Cut", QKeySequence(Qt::CTRL | Qt::Key_X)},
        {"PasteCtrlV1", "Paste", QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"DeleteDel1", "Delete ", QKeySequence(Qt::Key_Delete)},
        {"Undo1", "Undo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
    };
    const QList<QAction*> actions = form->PopupMenu1->actions();
    const QStringList after {QString(), QStringLiteral("Save Log As\u2026"), QStringLiteral("Timestamps"),
                             QStringLiteral("Show Bytes as Hex"), QStringLiteral("Capture to File\u2026"), QString(),
                             QStringLiteral("Wait For Reply\u2026")};
    ASSERT_EQ(actions.size(), 7 + after.size());
    for (qsizetype i = 0; i < after.size(); ++i)
        EXPECT_EQ(actions[7 + i]->text(), after[i]) << "item " << 7 + i;
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(actions[i]->objectName(), expected[i].name);
        EXPECT_EQ(actions[i]->text(), expected[i].caption);
        EXPECT_EQ(actions[i]->shortcut(), expected[i].shortcut);
    }
    EXPECT_EQ(find<LogBox>("Memo1")->contextMenuPolicy(), Qt::CustomContextMenu);
}

// The outer height of 437 plus a frame is below 500, so the guard grows the
// window to an outer height of exactly 500; the log box and the progress bar
// follow the new bottom edge.
TEST_F(Form1Layout, SizeGuardGrowsTheWindowAndTheAnchoredControlsFollow)
{
    form->show();
    ASSERT_TRUE(waitUntil([&] { return form->frameGeometry().height() == TForm1::MinimumOuterHeight; }))
        << "outer height " << form->frameGeometry().height();
    EXPECT_GE(form->frameGeometry().width(), TForm1::MinimumOuterWidth);
    EXPECT_EQ(form->width(), 539);
    EXPECT_EQ(form->minimumSize(), form->maximumSize());

    const QRect memo = find<QWidget>("Memo1")->geometry();
    EXPECT_EQ(memo.topLeft(), QPoint(208, 40));
    EXPECT_EQ(form->width() - memo.right() - 1, 10);
    EXPECT_EQ(form->height() - memo.bottom() - 1, 20);
    const QRect bar = find<QWidget>("ProgressBar1")->geometry();
    EXPECT_EQ(bar, QRect(0, form->height() - 17, form->width(), 17));
    EXPECT_EQ(find<QWidget>("GroupBox1")->geometry(), QRect(8, 32, 193, 385));

    const QRect screen = form->screen()->availableGeometry();
    EXPECT_LE((form->frameGeometry().center() - screen.center()).manhattanLength(), 2) << "centred";
}
