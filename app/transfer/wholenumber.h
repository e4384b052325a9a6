#pragma once
// Reading whole numbers out of the text boxes, as the window's boxes and the
// port settings do.

#include <QString>

#include <optional>

// The text as a signed 32-bit whole number (surrounding blanks allowed,
// decimal only); nothing when it is empty, not a number or out of range.
[[nodiscard]] std::optional<int> ToWholeNumber(const QString& text);

// Same, but a negative number is refused like a non-number.
[[nodiscard]] std::optional<int> ToNonNegativeNumber(const QString& text);

// The message shown when a box's text is used as a number and is not one.
QString NotAWholeNumberMessage(const QString& text);
