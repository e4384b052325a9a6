#include "platform/devicepixels.h"

#include <QWidget>

#include <cmath>

qreal DevicePixelRatioOf(const QWidget* widget)
{
    return widget ? widget->devicePixelRatioF() : 1.0;
}

int ToDevicePixels(int logical, qreal ratio)
{
    return ratio == 1.0 ? logical : int(std::lround(logical * ratio));
}

QSize ToDevicePixels(QSize logical, qreal ratio)
{
    return QSize(ToDevicePixels(logical.width(), ratio), ToDevicePixels(logical.height(), ratio));
}

QImage DevicePixelView(const QImage& image, qreal ratio, QImage::Format format)
{
    QImage view(image.constBits(), image.width(), image.height(), image.bytesPerLine(), format);
    view.setDevicePixelRatio(ratio);
    return view;
}
