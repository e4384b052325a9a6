#pragma once
// The program's icon: a chip on a rounded tile, an arrow bringing new bytes
// into it, and the trace of a byte on the serial line below.

#include <QImage>

// The icon drawn for `size` x `size` pixels (the drawing scales; nothing is
// resampled), transparent outside the tile.
QImage DrawIcon(int size);

// The sizes installed under share/icons/hicolor.
inline constexpr int IconSizes[] = {48, 128, 256};
