#pragma once
// The effects library's questions about the platform, answered once at start-up.
//
// The answers on this platform:
//   IsWinNT   true: text goes through the Unicode calls.
//   IsWinNT4  false.
//   IsWin2k   true when the window system can show translucent top-level windows
//             (an X11 compositing manager is running, or Wayland); then
//             SetLayeredWindowAttributes is bound.
//   IsWinXP   true when a Qt style engine is present (the theme module, themes.h).
//   IsMsImg   false: there is no image library, TransparentBltFunc stays null and
//             key-colour drawing takes the software path.
// All five are false until startPlatformHelpers() has run.

#include "platform/devicecontext.h"
#include "effects/util/monitors.h"
#include "effects/util/scrollbarinfo.h"
#include "effects/util/themes.h"

#include <cstdint>

class QWidget;

bool IsWinNT();
bool IsWinNT4();
bool IsWin2k();
bool IsWinXP();
bool IsMsImg();

// Layered-window flags.
constexpr uint32_t LWA_COLORKEY = 0x1;
constexpr uint32_t LWA_ALPHA = 0x2;

// Sets a top-level window's constant opacity (LWA_ALPHA with bAlpha 0..255).
// A colour key (LWA_COLORKEY) cannot be honoured here: the call then reports false.
using SetLayeredWindowAttributesProc = bool (*)(QWidget* hwnd, uint32_t crKey, uint8_t bAlpha, uint32_t dwFlags);
// Per-pixel layered windows; never bound on this platform.
using UpdateLayeredWindowProc = bool (*)(QWidget* hwnd, HDC hdcDst, const TPoint* pptDst, const TSize* psize, HDC hdcSrc,
    const TPoint* pptSrc, uint32_t crKey, uint32_t blend, uint32_t dwFlags);
// Key-colour block copy from the image library; never bound on this platform.
using TransparentBltProc = bool (*)(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
    uint32_t transparentColor);

extern SetLayeredWindowAttributesProc SetLayeredWindowAttributes;
extern UpdateLayeredWindowProc UpdateLayeredWindow;
extern TransparentBltProc TransparentBltFunc;

// The start-up step: fixes the flags, binds the optional entry points, takes the
// first hold on the theme module. Needs the application object; runs at most once
// per process (later calls do nothing).
void startPlatformHelpers();

// The shut-down step, after the last window: unbinds the monitor and scroll-bar
// queries and releases every hold on the theme module. Runs at most once per
// process, and only after startPlatformHelpers().
void stopPlatformHelpers();

// Whether the window system can make translucent top-level windows right now.
bool windowSystemHasTranslucency();
