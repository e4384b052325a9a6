#pragma once
// The words of themed drawing: result codes, the open-theme handle, and the parts,
// states and flags of the "Window" class. Both the entry points (themes.h) and
// their implementation over the Qt style (themebinding_p.h) speak them.

#include <cstdint>

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_HANDLE = HRESULT(0x80070006u);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);

// An open theme: a class of the visual style ("Window") bound to the current Qt style.
struct ThemeData;
using HTHEME = ThemeData*;

// Parts of the "Window" class.
enum WindowPart : int {
    WP_CAPTION = 1,
    WP_SMALLCAPTION = 2,
    WP_FRAMELEFT = 7,
    WP_FRAMERIGHT = 8,
    WP_FRAMEBOTTOM = 9,
    WP_SMALLFRAMELEFT = 10,
    WP_SMALLFRAMERIGHT = 11,
    WP_SMALLFRAMEBOTTOM = 12,
    WP_MINBUTTON = 15,
    WP_MAXBUTTON = 17,
    WP_CLOSEBUTTON = 18,
    WP_SMALLCLOSEBUTTON = 19,
    WP_RESTOREBUTTON = 21,
    WP_HELPBUTTON = 23,
};

// States: captions and frames 1 active, 2 inactive, 3 disabled; buttons 1 normal,
// 2 hot, 3 pushed, 4 disabled.
constexpr int CS_ACTIVE = 1, CS_INACTIVE = 2, CS_DISABLED = 3;
constexpr int FS_ACTIVE = 1, FS_INACTIVE = 2;
constexpr int CBS_NORMAL = 1, CBS_HOT = 2, CBS_PUSHED = 3, CBS_DISABLED = 4;

// DrawThemeText's second flags: draw the text greyed.
constexpr uint32_t DTT_GRAYED = 0x1;
