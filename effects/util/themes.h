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
#include "effects/util/themetypes.h"

#include <cstdint>
#include <mutex>

class QWidget;

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
