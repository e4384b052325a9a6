#pragma once
// TBitmap: the framework bitmap the grabbers draw into. A Format_ARGB32 picture
// with a canvas whose device context draws into it; the context keeps the clip
// region a grab restricts drawing to.

#include "platform/canvas.h"
#include "platform/devicecontext.h"

#include <QImage>

class TBitmap {
public:
    // A bitmap of |width| x |height| opaque black pixels; no pixels when either is below 1.
    TBitmap(int width, int height);
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    bool Empty() const { return m_image.isNull(); }

    // The pixels; the canvas draws into this very image.
    const QImage& Image() const { return m_image; }
    TCanvas* Canvas() { return &m_canvas; }

private:
    QImage m_image;
    DeviceContext m_dc;
    TCanvas m_canvas;
};
