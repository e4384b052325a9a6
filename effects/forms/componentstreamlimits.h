#pragma once
// Limits on what a component stream may hold: a reader refuses a stream beyond them.

#include <QtGlobal>

inline constexpr qsizetype maxComponentStreamBytes = 64 * 1024 * 1024;
inline constexpr int maxStreamComponents = 10000;
inline constexpr int maxCollectionItems = 100000;
inline constexpr int maxStreamNesting = 32;
inline constexpr int maxStreamPictureSide = 16384;
inline constexpr qint64 maxStreamPicturePixels = 16 * 1024 * 1024;
