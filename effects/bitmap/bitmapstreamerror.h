#pragma once
// The error a bitmap, link or picture reader raises when its input is
// truncated or absurd, and a writer when its stream refuses the bytes. The
// object being read is left as it was.

#include <stdexcept>
#include <string>

class QString;

class BitmapStreamError : public std::runtime_error {
public:
    explicit BitmapStreamError(const QString& message);
};
