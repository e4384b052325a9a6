#include "app/cli/checkedsettings.h"

#include "app/transfer/besideconfig.h"

#include <cstdio>

namespace {

struct IndexField {
    SettingsList list;
    const char* name;
    const char* listName;
    uint8_t TPortSettings::*field;
};

constexpr IndexField IndexFields[] = {
    {SettingsList::Baud, "BaudIndex", "baud-rate", &TPortSettings::BaudIndex},
    {SettingsList::Parity, "ParityIndex", "parity", &TPortSettings::ParityIndex},
    {SettingsList::ByteSize, "ByteSizeIndex", "byte-size", &TPortSettings::ByteSizeIndex},
    {SettingsList::StopBits, "StopBitsIndex", "stop-bits", &TPortSettings::StopBitsIndex},
};

} // namespace

TPortSettings CheckedSettings(const QString& configPath)
{
    TPortSettings settings = LoadSettings(configPath);
    const TPortSettings defaults;
    for (const IndexField& index : IndexFields) {
        const uint8_t stored = settings.*index.field;
        if (ItemIndexFor(index.list, stored) >= 0)
            continue;
        const uint8_t fallback = defaults.*index.field;
        settings.*index.field = fallback;
        std::fprintf(stderr, "flashupdate-cli: %s: %s %u names no item of the %s list; %s is used\n",
                     configPath.toLocal8Bit().constData(), index.name, unsigned(stored), index.listName,
                     ListItems(index.list).at(fallback).toLocal8Bit().constData());
    }
    return settings;
}

std::optional<QString> RememberedPort(const TPortSettings& settings, const QString& configPath, QString& error)
{
    if (const int index = ItemIndexFor(SettingsList::Port, settings.PortIndex); index >= 0)
        return ListItems(SettingsList::Port).at(index);
    // A device path chosen in the window: "Config.dat" holds no item for it,
    // the file beside it holds the path.
    const QString remembered = ReadLinesBeside(configPath, QStringLiteral("Port.txt")).value(0).trimmed();
    if (!remembered.isEmpty())
        return remembered;
    error = QStringLiteral("%1: PortIndex %2 names no item of the port list and %3 names no port; "
                           "give the port with --port NAME")
                .arg(configPath)
                .arg(settings.PortIndex)
                .arg(PathBesideConfig(configPath, QStringLiteral("Port.txt")));
    return std::nullopt;
}
