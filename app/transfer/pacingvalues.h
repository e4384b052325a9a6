#pragma once
// The pacing of a transfer as numbers: the Time Gap (milliseconds between
// packets) and the Data Size (bytes of a block in "Pause By Data Size" mode).
// This is the one place that turns the boxes' texts and the stored record's
// fields into them, with their limits and the values they fall back to.

#include <QString>

#include <cstdint>
#include <optional>

constexpr int DefaultTimeGap = 50;
constexpr int MaxTimeGap = 3600 * 1000; // one hour
constexpr int DefaultDataSize = 512;
// The largest packet: a larger Data Size is cut to it, and so is a longer line.
constexpr int MaxDataSize = 2048;

// A number for a box, and whether the box must show it instead of its text.
struct BoxValue {
    int value = 0;
    bool replacesText = false;
};

// The Time Gap a timer can take: 0 to MaxTimeGap. Anything else falls back to
// the default (a stored record's field is not checked when it is written).
int UsableTimeGap(int64_t milliseconds);

// The Time Gap box's text: a whole number from 0 to MaxTimeGap, or nothing.
[[nodiscard]] std::optional<int> TimeGapFromText(const QString& text);
// Same, with the default (to be shown in the box) when the text gives none.
BoxValue TimeGapOrDefault(const QString& text);

// The Data Size box's text: a whole number from 0, or nothing (a negative
// number is refused as a non-number is). Not yet cut to MaxDataSize.
[[nodiscard]] std::optional<int> DataSizeFromText(const QString& text);
// A Data Size cut to MaxDataSize; a cut value is to be shown in the box.
BoxValue LimitedDataSize(int bytes);
// The box's text as a block length: limited, or the default when it gives none.
BoxValue DataSizeOrDefault(const QString& text);
