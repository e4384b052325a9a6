// The check of Intel HEX and S-record files before they are sent.
// Input: the file's bytes.
// Checks: the file fed whole and fed in pieces (cut where its own bytes say)
// gives the same verdict; a file of no known format has no fault and no
// addresses; a fault names its line or the missing end record; the address
// range never runs backwards.

#include "fuzz/fuzzsupport.h"
#include "app/transfer/firmwarecheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const FirmwareCheck whole = CheckFirmware(file);

    FirmwareScanner scanner;
    const qsizetype step = size > 0 ? 1 + data[0] % 61 : 1;
    for (qsizetype at = 0; at < file.size(); at += step)
        scanner.feed(file.constData() + at, std::min(step, file.size() - at));
    const FirmwareCheck pieces = scanner.finish();
    FUZZ_CHECK(pieces.format == whole.format && pieces.fault == whole.fault
               && pieces.firstAddress == whole.firstAddress && pieces.lastAddress == whole.lastAddress);

    if (whole.format == FirmwareFormat::Raw)
        FUZZ_CHECK(!whole.failed() && !whole.firstAddress && !whole.lastAddress);
    if (whole.failed())
        FUZZ_CHECK(whole.fault.startsWith(QLatin1String("line ")) || whole.fault == QLatin1String("no end record"));
    FUZZ_CHECK(whole.firstAddress.has_value() == whole.lastAddress.has_value());
    if (whole.firstAddress)
        FUZZ_CHECK(*whole.firstAddress <= *whole.lastAddress);
    return 0;
}
