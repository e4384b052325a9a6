#include "effects/forms/pictureregion.h"

#include "effects/bitmap/luxbitmap.h"
#include "effects/bitmap/luxcolor.h"
#include "effects/forms/rowruns.h"

#include <QImage>

#include <algorithm>

namespace {

// Adds to `runs` the runs of one row of pixels: maximal sequences of pixels
// for which `inRegion` holds, moved by dx.
template <typename Pred>
void collectRow(RowRuns& runs, const TluxColor* row, int width, int dx, Pred inRegion)
{
    int x = 0;
    while (x < width) {
        while (x < width && !inRegion(row[x]))
            ++x;
        if (x == width)
            break;
        const int start = x;
        while (x < width && inRegion(row[x]))
            ++x;
        runs.addRun(start + dx, x + dx);
    }
}

} // namespace

std::optional<QRegion> CreateRegionFromPicture(const QImage& Picture, int Width, int Height, TColor MaskColor,
    TluxMaskMode Mode)
{
    if (Picture.isNull() || Picture.width() == 0 || Picture.height() == 0)
        return std::nullopt;

    // Only the part of the area the picture covers can qualify; the picture is
    // read at its own size, so its pixels keep their exact colours.
    const int w = std::min(Width, Picture.width());
    const int h = std::min(Height, Picture.height());
    if (w <= 0 || h <= 0)
        return std::nullopt;
    const QImage pixels = Picture.format() == QImage::Format_ARGB32 ? Picture : Picture.convertToFormat(QImage::Format_ARGB32);

    const TluxColor key = luxColor(MaskColor, 255) & 0x00FFFFFF;
    const bool include = Mode == mmInclude;
    const auto inRegion = [key, include](TluxColor c) { return ((c & 0x00FFFFFF) == key) == include; };

    RowRuns runs;
    for (int y = 0; y < h; ++y) {
        runs.beginRow(y);
        collectRow(runs, reinterpret_cast<const TluxColor*>(pixels.constScanLine(y)), w, 0, inRegion);
        runs.endRow();
    }
    if (runs.isEmpty())
        return std::nullopt;
    return runs.region();
}

std::optional<QRegion> CreateRegionFromBitmap(const TluxBitmap* Bitmap, int X, int Y)
{
    if (!Bitmap || Bitmap->Empty() || Bitmap->Width == 0 || Bitmap->Height == 0)
        return std::nullopt;

    const auto inRegion = [](TluxColor c) { return !IsTransparentKey(c); };
    RowRuns runs;
    for (int y = 0; y < Bitmap->Height; ++y) {
        runs.beginRow(Y + y);
        collectRow(runs, Bitmap->GetScanLine(y), Bitmap->Width, X, inRegion);
        runs.endRow();
    }
    // Every pixel the key colour: a valid region without area.
    return runs.region();
}
