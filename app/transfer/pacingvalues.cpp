#include "app/transfer/pacingvalues.h"

#include "app/transfer/wholenumber.h"

int UsableTimeGap(int64_t milliseconds)
{
    if (milliseconds < 0 || milliseconds > MaxTimeGap)
        return DefaultTimeGap;
    return static_cast<int>(milliseconds);
}

std::optional<int> TimeGapFromText(const QString& text)
{
    const std::optional<int> gap = ToWholeNumber(text);
    if (!gap || UsableTimeGap(*gap) != *gap)
        return std::nullopt;
    return gap;
}

BoxValue TimeGapOrDefault(const QString& text)
{
    const std::optional<int> gap = TimeGapFromText(text);
    return gap ? BoxValue {*gap, false} : BoxValue {DefaultTimeGap, true};
}

std::optional<int> DataSizeFromText(const QString& text)
{
    return ToNonNegativeNumber(text);
}

BoxValue LimitedDataSize(int bytes)
{
    return bytes > MaxDataSize ? BoxValue {MaxDataSize, true} : BoxValue {bytes, false};
}

BoxValue DataSizeOrDefault(const QString& text)
{
    const std::optional<int> size = DataSizeFromText(text);
    return size ? LimitedDataSize(*size) : BoxValue {DefaultDataSize, true};
}
