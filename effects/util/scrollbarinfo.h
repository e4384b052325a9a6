#pragma once
// Scroll-bar geometry and state of a widget, in the window system's record form.

#include "platform/types.h"

#include <cstdint>

class QWidget;

// Which scroll bar: a window's horizontal or vertical bar, or a scroll-bar widget itself.
constexpr int OBJID_CLIENT = -4;
constexpr int OBJID_VSCROLL = -5;
constexpr int OBJID_HSCROLL = -6;

constexpr uint32_t STATE_SYSTEM_UNAVAILABLE = 0x1;
constexpr uint32_t STATE_SYSTEM_PRESSED = 0x8;
constexpr uint32_t STATE_SYSTEM_INVISIBLE = 0x8000;

constexpr int CCHILDREN_SCROLLBAR = 5;

struct tagSCROLLBARINFO {
    uint32_t cbSize = 60;
    TRect rcScrollBar;        // the whole bar, arrows included, in screen coordinates
    int32_t dxyLineButton = 0; // arrow button width (horizontal) or height (vertical)
    int32_t xyThumbTop = 0;    // thumb start, from the bar's left or top edge
    int32_t xyThumbBottom = 0; // thumb end (exclusive), from the same edge
    int32_t reserved = 0;
    // 0 the bar, 1 the left/up arrow, 2 the page area before the thumb, 3 the thumb,
    // 4 the page area after it, 5 the right/down arrow.
    uint32_t rgstate[CCHILDREN_SCROLLBAR + 1] = {};
};
static_assert(sizeof(tagSCROLLBARINFO) == 60, "the record keeps the window system's layout");
using SCROLLBARINFO = tagSCROLLBARINFO;

// Fills the record for hwnd's scroll bar idObject: a QAbstractScrollArea answers
// for OBJID_HSCROLL and OBJID_VSCROLL from its QScrollBar, a QScrollBar for
// OBJID_CLIENT. A bar that is hidden reports STATE_SYSTEM_INVISIBLE; a disabled bar,
// or one with nothing to scroll, reports itself, its arrows, pages and thumb
// STATE_SYSTEM_UNAVAILABLE. Returns 1 on success; 0 when cbSize is not 60.
//
// When hwnd has no such scroll bar, or the query is not bound (before
// startPlatformHelpers() or after stopPlatformHelpers()), the record's rgstate[0]
// becomes STATE_SYSTEM_INVISIBLE, the rest stays as the caller filled it, and the
// result is 0: callers see a scroll bar that is not visible.
int MyGetScrollBarInfo(QWidget* hwnd, int idObject, tagSCROLLBARINFO& psbi);
