#pragma once
// The picture of the splash window and the About box: the tool's name beside
// a stylised circuit board, over the trace of a byte on the serial line.

#include <QColor>
#include <QImage>

namespace SplashPicture {

constexpr int Width = 242;
constexpr int Height = 154;

// Flat areas, large enough to keep their colour through JPEG coding; the
// decoder's tests look at them.
inline const QColor Background{0x10, 0x2A, 0x52};
inline const QColor Board{0x1F, 0x7A, 0x45};
inline const QColor Chip{0x22, 0x22, 0x26};

} // namespace SplashPicture

QImage DrawSplashPicture();
