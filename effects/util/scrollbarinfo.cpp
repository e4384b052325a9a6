#include "effects/util/scrollbarinfo.h"

#include "effects/util/platformstate_p.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace {

QScrollBar* scrollBarOf(QWidget* hwnd, int idObject)
{
    if (auto* area = qobject_cast<QAbstractScrollArea*>(hwnd)) {
        if (idObject == OBJID_HSCROLL)
            return area->horizontalScrollBar();
        if (idObject == OBJID_VSCROLL)
            return area->verticalScrollBar();
        return nullptr;
    }
    if (auto* bar = qobject_cast<QScrollBar*>(hwnd); bar && idObject == OBJID_CLIENT)
        return bar;
    return nullptr;
}

// The style option a QScrollBar paints itself with.
QStyleOptionSlider sliderOption(const QScrollBar* bar)
{
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_None;
    opt.activeSubControls = QStyle::SC_None;
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    opt.upsideDown = bar->invertedAppearance();
    if (bar->orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    return opt;
}

// GetScrollBarInfo on this platform; -1 when hwnd has no such scroll bar.
int scrollBarInfo(QWidget* hwnd, int idObject, tagSCROLLBARINFO& info)
{
    QScrollBar* bar = scrollBarOf(hwnd, idObject);
    if (!bar)
        return -1;
    if (info.cbSize != sizeof(tagSCROLLBARINFO))
        return 0;
    for (uint32_t& s : info.rgstate)
        s = 0;
    const bool shown = (bar == hwnd) ? !bar->isHidden() : bar->isVisibleTo(hwnd);
    if (!shown) {
        info.rcScrollBar = TRect();
        info.dxyLineButton = info.xyThumbTop = info.xyThumbBottom = 0;
        info.rgstate[0] = STATE_SYSTEM_INVISIBLE;
        return 1;
    }
    info.rcScrollBar = TRect::fromQRect(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size()));
    const QStyleOptionSlider opt = sliderOption(bar);
    QStyle* style = bar->style();
    const QRect arrow = style->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSubLine, bar);
    const QRect thumb = style->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar);
    if (bar->orientation() == Qt::Horizontal) {
        info.dxyLineButton = arrow.width();
        info.xyThumbTop = thumb.left();
        info.xyThumbBottom = thumb.left() + thumb.width();
    } else {
        info.dxyLineButton = arrow.height();
        info.xyThumbTop = thumb.top();
        info.xyThumbBottom = thumb.top() + thumb.height();
    }
    if (!bar->isEnabled() || bar->maximum() <= bar->minimum()) {
        for (uint32_t& s : info.rgstate)
            s |= STATE_SYSTEM_UNAVAILABLE;
    }
    if (bar->isSliderDown())
        info.rgstate[3] |= STATE_SYSTEM_PRESSED;
    return 1;
}

using GetScrollBarInfoProc = int (*)(QWidget*, int, tagSCROLLBARINFO&);
GetScrollBarInfoProc GetScrollBarInfoEntry = nullptr;

} // namespace

namespace luxplatform {
void bindScrollBarQuery(bool bind)
{
    GetScrollBarInfoEntry = bind ? scrollBarInfo : nullptr;
}
} // namespace luxplatform

int MyGetScrollBarInfo(QWidget* hwnd, int idObject, tagSCROLLBARINFO& psbi)
{
    if (GetScrollBarInfoEntry) {
        const int result = GetScrollBarInfoEntry(hwnd, idObject, psbi);
        if (result >= 0)
            return result;
    }
    psbi.rgstate[0] = STATE_SYSTEM_INVISIBLE;
    return 0;
}
