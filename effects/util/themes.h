#pragma once
// Themed drawing through the application's Qt style.
//
// The "theme module" is the Qt style engine. AcquireThemeModule and
// ReleaseThemeModule count its holders under ThemeLock; while it is held the
// entry points below are bound, after the last release they are null again.
// Themes count as in use (UseThemes) when the application draws with a style
// (IsAppThemed) and that style is not the classic "Windows" look (IsThemeActive):
// the tool runs with the classic look, so frames are then drawn the classic way.
//
// Only the entry points that the effects library calls are bound: OpenThemeData,
// CloseThemeData, DrawThemeBackground, DrawThemeText, IsThemeActive, IsAppThemed.

#include "platform/devicecontext.h"

#include <cstdint>
#include <mutex>

class QWidget;

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

// hwnd may be null. pszClassList: class names separated by ";"; the first known one
// is opened. Null when none is known.
using OpenThemeDataProc = HTHEME (*)(QWidget* hwnd, const char16_t* pszClassList);
using CloseThemeDataProc = HRESULT (*)(HTHEME hTheme);
// Draws part iPartId in state iStateId into pRect (logical coordinates of hdc),
// limited to pClipRect when it is given.
using DrawThemeBackgroundProc = HRESULT (*)(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const TRect* pRect,
    const TRect* pClipRect);
// Draws iCharCount characters of pszText (-1: up to the terminating zero) in pRect
// with DrawText flags dwTextFlags, in the part's text colour (greyed with DTT_GRAYED).
using DrawThemeTextProc = HRESULT (*)(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const char16_t* pszText,
    int iCharCount, uint32_t dwTextFlags, uint32_t dwTextFlags2, const TRect* pRect);
using IsThemeActiveProc = int (*)();
using IsAppThemedProc = int (*)();

extern OpenThemeDataProc OpenThemeData;
extern CloseThemeDataProc CloseThemeData;
extern DrawThemeBackgroundProc DrawThemeBackground;
extern DrawThemeTextProc DrawThemeText;
extern IsThemeActiveProc IsThemeActive;
extern IsAppThemedProc IsAppThemed;

// The answer of the last UseThemesSlow (false until the start-up step asks).
extern bool UseThemeVar;

// Guards the theme module, its holder count and the entry points above.
extern std::recursive_mutex ThemeLock;

// Takes a hold on the theme module, binding the entry points for the first holder
// when a style engine is present; asks UseThemesSlow under the lock. Returns whether
// the module is loaded.
bool AcquireThemeModule();
// Gives up one hold (none below zero); the last one unbinds the entry points.
// UseThemeVar and IsWinXP keep their values.
void ReleaseThemeModule();

// Asks the style now (IsAppThemed, then IsThemeActive) and caches the answer.
bool UseThemesSlow();
// The cached answer; cheap enough for every paint.
bool UseThemes();

// Holders of the theme module, and whether it is loaded (for diagnostics and tests).
int themeModuleUsers();
bool themeModuleLoaded();
