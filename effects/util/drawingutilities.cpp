#include "effects/util/drawingutilities.h"

void startDrawingUtilities()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    GetPixelFormat();
}
