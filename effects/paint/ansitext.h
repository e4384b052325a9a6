#pragma once
// The 8-bit (locale code page) form of a wide string, as the window system's
// narrow text calls see it.

#include <QByteArray>
#include <QString>

// S in the locale's character set. Composed forms are used where they exist
// (a letter followed by a combining accent becomes the accented letter);
// characters the character set lacks become '?'.
QByteArray WideStringToAnsi(const QString& S);
