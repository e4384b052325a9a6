#include "effects/util/mousecapture.h"

QPointer<QWidget> CaptureHandle;
int32_t CaptureCount = 0;

void CaptureMouse(QWidget* Window)
{
    if (CaptureCount == 0) {
        CaptureHandle = Window;
        if (Window)
            Window->grabMouse();
    }
    ++CaptureCount;
}

void EndCapture()
{
    --CaptureCount;
    if (CaptureCount != 0)
        return;
    if (CaptureHandle && QWidget::mouseGrabber() == CaptureHandle.data())
        CaptureHandle->releaseMouse();
    CaptureHandle = nullptr;
}
