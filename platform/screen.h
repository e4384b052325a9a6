#pragma once
// The screen as a picture source, and the system metrics read from the style and screens.

#include "platform/types.h"

#include <QImage>

// A copy of the screen rectangle r (logical screen coordinates), always of r's
// full size: at ratio 1 one pixel per logical pixel, otherwise the device
// pixels r covers at that device pixel ratio (ToDevicePixels). Parts of r
// outside every screen are opaque black.
QImage CaptureScreen(const TRect& r, qreal ratio = 1.0);

// System metric indexes used by the effects library.
enum SystemMetric : int {
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXDLGFRAME = 7,
    SM_CYDLGFRAME = 8,
    SM_CYVTHUMB = 9,
    SM_CXHTHUMB = 10,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CYMENU = 15,
    SM_CYVSCROLL = 20,
    SM_CXHSCROLL = 21,
    SM_CXSIZE = 30,
    SM_CYSIZE = 31,
    SM_CXFRAME = 32,
    SM_CYFRAME = 33,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
    SM_CYSMCAPTION = 51,
    SM_CXSMSIZE = 52,
    SM_CYSMSIZE = 53,
    SM_XVIRTUALSCREEN = 76,
    SM_YVIRTUALSCREEN = 77,
    SM_CXVIRTUALSCREEN = 78,
    SM_CYVIRTUALSCREEN = 79,
    SM_CMONITORS = 80,
};

// The metric's value on this display, from the application's style and screens; 0 for unknown indexes.
int GetSystemMetrics(int index);

// Bits per pixel of the primary screen (32 when there is no screen).
int ScreenDepth();
