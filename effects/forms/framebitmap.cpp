#include "effects/forms/framebitmap.h"

#include <new>

namespace {

QImage opaqueBlack(int width, int height)
{
    if (width < 1 || height < 1)
        return QImage();
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        throw std::bad_alloc();
    image.fill(0xFF000000u);
    return image;
}

} // namespace

TBitmap::TBitmap(int width, int height) : m_image(opaqueBlack(width, height)), m_dc(&m_image), m_canvas(&m_dc)
{
}
