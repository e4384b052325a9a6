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
    return QStringLiteral("The Parity, Byte Size and Stop Bits boxes say \"%1\", \"%2\", \"%3\", but the link "
                          "uses no parity, 8 data bits and 1 stop bit; those boxes are only remembered.")
        .arg(parity, byteSize, stopBits);
}
