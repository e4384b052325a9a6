#pragma once
// Reading a BMP file held in memory, every length and field checked against
// the file before a pixel is written.
//
// Headers: the 12-byte core header and the 40, 52, 56, 108 and 124-byte
// information headers. Pixels: 1, 4 and 8 bits through a palette (8 and 4 bits
// also run-length encoded), 16 bits (5-5-5, or any bit fields), 24 bits, and
// 32 bits (alpha in the fourth byte, or any bit fields). Channels narrower or
// wider than 8 bits are scaled to the full 0..255 range, so a 5-6-5 white is
// (255, 255, 255). Rows are bottom-up for a positive height, top-down for a
// negative one; pixels a run-length picture skips take palette entry 0.

#include <QImage>

class QByteArray;
class QString;

// The picture: 32-bit files as Format_ARGB32 with their alpha (opaque when their
// bit fields name no alpha), every other depth as Format_RGB32. A truncated or
// inconsistent file throws BitmapStreamError whose message starts with `what`.
QImage DecodeBmp(const QByteArray& file, const QString& what);
