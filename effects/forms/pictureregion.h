#pragma once
// Window regions made from pictures.
//
// A region is a set of pixels; a form or the lock window that covers it takes
// one as its shape. CreateRegionFromPicture keeps the pixels of a mask picture
// that differ from (or equal) a key colour; CreateRegionFromBitmap keeps the
// pixels of a TluxBitmap that are not its transparent key colour.
//
// "No region" and "a region without pixels" are different answers: a caller
// leaves a window rectangular for the first and would make it invisible with
// the second. The functions therefore return std::optional<QRegion>.

#include "platform/color.h"

#include <QObject>
#include <QRegion>

#include <cstdint>
#include <optional>

class QImage;
class TluxBitmap;

namespace LuxMaskModes {
Q_NAMESPACE

// Which pixels of a mask picture make up the region.
enum TluxMaskMode : uint8_t {
    mmExclude = 0, // the pixels whose colour differs from the mask colour
    mmInclude = 1, // the pixels whose colour equals the mask colour
};
Q_ENUM_NS(TluxMaskMode)

} // namespace LuxMaskModes

using LuxMaskModes::TluxMaskMode;
using LuxMaskModes::mmExclude;
using LuxMaskModes::mmInclude;

// The region of the Width x Height area whose pixels of Picture (laid at the
// top-left corner at its own size, not stretched) qualify under Mode, compared
// with MaskColor on red, green and blue (system colours resolved, alpha never
// compared). Pixels the picture does not cover never belong to the region.
// No value for a null or zero-area picture, and when no pixel qualifies.
std::optional<QRegion> CreateRegionFromPicture(const QImage& Picture, int Width, int Height, TColor MaskColor,
    TluxMaskMode Mode);

// The region of Bitmap's pixels whose low 24 bits are not luxTransparent,
// moved by (X, Y). No value for an empty bitmap; an empty region when every
// pixel is the key colour.
std::optional<QRegion> CreateRegionFromBitmap(const TluxBitmap* Bitmap, int X, int Y);
