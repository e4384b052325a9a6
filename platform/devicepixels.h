#pragma once
// Logical and device pixels. Qt lays widgets out in logical pixels; on a screen
// with a device pixel ratio above 1 each logical pixel covers ratio × ratio
// device pixels. Pictures meant to be shown as sharp as the widget itself are
// kept at device pixels and drawn 1:1 onto the screen's pixels.

#include <QImage>
#include <QSize>

class QWidget;

// The device pixel ratio of the screen the widget is on (1 for null).
qreal DevicePixelRatioOf(const QWidget* widget);

// The device pixels a logical length or size covers, rounded as Qt rounds a
// window's size onto its screen.
int ToDevicePixels(int logical, qreal ratio);
QSize ToDevicePixels(QSize logical, qreal ratio);

// A view of image's pixels (shared, not copied) that QPainter draws 1:1 onto
// the device pixels of a surface of the given ratio: at the logical size
// image.size() / ratio.
QImage DevicePixelView(const QImage& image, qreal ratio, QImage::Format format);
