#include "app/window/lineformatnotice.h"

#include "app/transfer/portsettings.h"

namespace {

// The box differs from what the link uses: it says something, and not the first item.
bool differs(const QString& text, SettingsList list)
{
    return !text.isEmpty() && text != ListItems(list).constFirst();
}

} // namespace

QString LineFormatNotice(const QString& parity, const QString& byteSize, const QString& stopBits)
{
    if (!differs(parity, SettingsList::Parity) && !differs(byteSize, SettingsList::ByteSize)
        && !differs(stopBits, SettingsList::StopBits))
        return {};
    // Three short lines: the log box does not wrap, and one long line was cut off at its edge.
    return QStringLiteral("The link uses no parity, 8 data bits, 1 stop bit:\n"
                          "Parity \"%1\", Byte Size \"%2\", Stop Bits \"%3\"\n"
                          "are only remembered.")
        .arg(parity, byteSize, stopBits);
}
