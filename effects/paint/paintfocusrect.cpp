#include "effects/paint/canvaspainting.h"

#include "platform/framecontrols.h"

void DrawFocusRect(TCanvas* Canvas, const TRect& R, TColor C)
{
    if (!Canvas || !Canvas->Handle())
        return;
    Canvas->Brush.Style = BrushStyle::Solid;
    Canvas->Brush.Color = C;
    Canvas->RequiredState();
    ::DrawFocusRect(Canvas->Handle(), &R);
}
