#pragma once
// The remembered port and pacing settings: one 20-byte record kept in
// "Config.dat" beside the executable, and the fixed value lists its indexes
// point into.

#include "app/transfer/pacingvalues.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

// The record exactly as it is stored: little-endian, fields at fixed offsets,
// the alignment bytes carried along unchanged from the last loaded file.
struct TPortSettings {
    uint8_t PortIndex = 0;      // item of the port list, 0 = COM1; 255 = none selected
    uint8_t BaudIndex = 5;      // item of the baud-rate list, 5 = 9600
    uint8_t ParityIndex = 0;
    uint8_t ByteSizeIndex = 0;
    uint8_t StopBitsIndex = 0;
    uint8_t Alignment1[3] = {0, 0, 0};
    int32_t TimeGap = DefaultTimeGap;   // transfer timer interval in milliseconds
    int32_t DataSize = DefaultDataSize; // block size in "Pause By Data Size" mode
    uint8_t PauseByDataSize = 0;
    uint8_t Alignment2[3] = {0, 0, 0};

    friend bool operator==(const TPortSettings&, const TPortSettings&) = default;
};

static_assert(sizeof(TPortSettings) == 20);
static_assert(offsetof(TPortSettings, PortIndex) == 0);
static_assert(offsetof(TPortSettings, BaudIndex) == 1);
static_assert(offsetof(TPortSettings, ParityIndex) == 2);
static_assert(offsetof(TPortSettings, ByteSizeIndex) == 3);
static_assert(offsetof(TPortSettings, StopBitsIndex) == 4);
static_assert(offsetof(TPortSettings, Alignment1) == 5);
static_assert(offsetof(TPortSettings, TimeGap) == 8);
static_assert(offsetof(TPortSettings, DataSize) == 12);
static_assert(offsetof(TPortSettings, PauseByDataSize) == 16);
static_assert(offsetof(TPortSettings, Alignment2) == 17);

// Reads one 20-byte block from `path`; the defaults when the file is missing,
// unreadable or shorter than a record. Fields are not validated.
TPortSettings LoadSettings(const QString& path);

// Writes the record as one 20-byte block into a new file beside `path` and
// renames it into place; false (and the errno in `errorNumber`) when it could
// not be written, with the old file left as it was.
[[nodiscard]] bool WriteSettingsFile(const QString& path, const TPortSettings& settings, int* errorNumber = nullptr);

// "Config.dat" in the directory `executableDir`.
QString ConfigPathIn(const QString& executableDir);

// The five drop-down lists whose item indexes the record stores.
enum class SettingsList { Port, Baud, Parity, ByteSize, StopBits };

// Items of each list, in order: COM1..COM8; 300..38400 doubling, then the 13
// fixed rates (the ninth item is 43000); the parity, byte-size and stop-bit names.
const QStringList& ListItems(SettingsList list);

// The stored index as an item index: the unsigned byte when it names an item,
// otherwise -1 (nothing selected, empty text).
int ItemIndexFor(SettingsList list, uint8_t stored);

// The item index as it is stored: its low byte (-1 becomes 255).
uint8_t StoredIndexFor(int itemIndex);
