#include "app/cli/checkedsettings.h"

#include <cstdio>

namespace {

struct IndexField {
    SettingsList list;
    const char* name;
    const char* listName;
    uint8_t TPortSettings::*field;
};

constexpr IndexField IndexFields[] = {
    {SettingsList::Port, "PortIndex", "port", &TPortSettings::PortIndex},
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
