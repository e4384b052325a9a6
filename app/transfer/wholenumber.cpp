#include "app/transfer/wholenumber.h"

std::optional<int> ToWholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<int> ToNonNegativeNumber(const QString& text)
{
    const std::optional<int> value = ToWholeNumber(text);
    if (!value || *value < 0)
        return std::nullopt;
    return value;
}

QString NotAWholeNumberMessage(const QString& text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}
