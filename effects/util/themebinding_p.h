#pragma once
// The theme entry points as implemented over the Qt style; themes.cpp binds them.

#include "effects/util/themetypes.h"
#include "platform/devicecontext.h"

class QWidget;

namespace luxtheme {

// Whether a style engine is there to bind to.
bool styleEngineAvailable();

HTHEME openThemeData(QWidget* hwnd, const char16_t* pszClassList);
HRESULT closeThemeData(HTHEME hTheme);
HRESULT drawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const TRect* pRect, const TRect* pClipRect);
HRESULT drawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const char16_t* pszText, int iCharCount,
    uint32_t dwTextFlags, uint32_t dwTextFlags2, const TRect* pRect);
int isThemeActive();
int isAppThemed();

} // namespace luxtheme
