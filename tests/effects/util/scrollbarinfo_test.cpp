#include "effects/util/platformhelpers.h"
#include "tests/support/testsupport.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <gtest/gtest.h>

namespace {

class ScrollBarInfo : public testing::Test {
protected:
    static void SetUpTestSuite() { startPlatformHelpers(); }

    void SetUp() override
    {
        m_window.resize(320, 240);
        m_edit = new QPlainTextEdit(&m_window);
        m_edit->setGeometry(20, 20, 200, 150);
        m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        QString text;
        for (int i = 0; i < 200; ++i)
            text += QStringLiteral("line %1\n").arg(i);
        m_edit->setPlainText(text);
        m_window.show();
        luxtest::processEventsFor(100);
    }

    static SCROLLBARINFO query(QWidget* w, int id)
    {
        SCROLLBARINFO info;
        info.rcScrollBar = TRect(-7, -7, -7, -7);
        m_lastResult = MyGetScrollBarInfo(w, id, info);
        return info;
    }

    QWidget m_window;
    QPlainTextEdit* m_edit = nullptr;
    static inline int m_lastResult = -1;
};

} // namespace

TEST_F(ScrollBarInfo, VerticalBarReportsScreenRectangleArrowsAndThumb)
{
    QScrollBar* bar = m_edit->verticalScrollBar();
    const SCROLLBARINFO top = query(m_edit, OBJID_VSCROLL);
    ASSERT_EQ(m_lastResult, 1);
    EXPECT_EQ(top.rgstate[0], 0u);
    const QRect editOnScreen(m_edit->mapToGlobal(QPoint(0, 0)), m_edit->size());
    const QRect barRect = top.rcScrollBar.toQRect();
    EXPECT_TRUE(editOnScreen.contains(barRect)) << "bar inside the edit on the screen";
    EXPECT_EQ(barRect.width(), m_edit->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    EXPECT_EQ(top.rcScrollBar.Right, m_edit->mapToGlobal(QPoint(m_edit->width() - m_edit->frameWidth(), 0)).x());
    const int arrow = top.dxyLineButton;
    ASSERT_GT(arrow, 0);
    // At the top the thumb touches the up arrow; scrolled to the end, the down arrow.
    EXPECT_EQ(top.xyThumbTop, arrow);
    EXPECT_LT(top.xyThumbTop, top.xyThumbBottom);
    bar->setValue(bar->maximum());
    const SCROLLBARINFO end = query(m_edit, OBJID_VSCROLL);
    EXPECT_EQ(end.xyThumbBottom, barRect.height() - arrow);
    EXPECT_EQ(end.xyThumbBottom - end.xyThumbTop, top.xyThumbBottom - top.xyThumbTop);
}

TEST_F(ScrollBarInfo, HiddenAndUnusableBarsSayWhy)
{
    // Nothing to scroll sideways and the bar shown only when needed: invisible.
    const SCROLLBARINFO hidden = query(m_edit, OBJID_HSCROLL);
    EXPECT_EQ(m_lastResult, 1);
    EXPECT_EQ(hidden.rgstate[0], STATE_SYSTEM_INVISIBLE);

    // Always shown but nothing to scroll: the bar, its arrows and thumb are unavailable.
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    luxtest::processEventsFor(50);
    const SCROLLBARINFO idle = query(m_edit, OBJID_HSCROLL);
    EXPECT_EQ(m_lastResult, 1);
    for (uint32_t state : idle.rgstate)
        EXPECT_EQ(state, STATE_SYSTEM_UNAVAILABLE);

    // A disabled edit has an unavailable vertical bar even with text to scroll.
    m_edit->setEnabled(false);
    EXPECT_EQ(query(m_edit, OBJID_VSCROLL).rgstate[0], STATE_SYSTEM_UNAVAILABLE);
}

TEST_F(ScrollBarInfo, WindowsWithoutThatBarGetTheInvisibleFallback)
{
    const SCROLLBARINFO none = query(&m_window, OBJID_VSCROLL);
    EXPECT_EQ(m_lastResult, 0);
    EXPECT_EQ(none.rgstate[0], STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(none.rcScrollBar, TRect(-7, -7, -7, -7)); // the rest is left as it was

    // A scroll-bar widget answers for itself.
    EXPECT_EQ(query(m_edit->verticalScrollBar(), OBJID_CLIENT).rgstate[0], 0u);
    EXPECT_EQ(m_lastResult, 1);
}
