#pragma once
// The file is checked before any port opens: an Intel HEX or S-record file
// whose check fails is refused, unless --force sends it anyway. A file of no
// known format goes out unchanged, and a pipe, FIFO, device or standard input
// is not read ahead: its check is skipped.

#include "app/cli/cliarguments.h"
#include "app/transfer/firmwarecheck.h"

struct SendFileCheck {
    FirmwareFile file;
    // "ok", "failed" (refused), "skipped" (no known format, or not read
    // ahead) or "forced" (failed, sent anyway).
    QString verdict;
    bool refused() const { return verdict == QLatin1String("failed"); }
};

SendFileCheck CheckSendFile(const CliArguments& arguments);

// The format found: "Intel HEX, addresses 0x0000-0x0045", "S-record",
// "no known format, sent unchanged".
QString FoundFormatText(const SendFileCheck& check);
// The verdict: "ok", "skipped", "failed: line 7: checksum 3F, computed 40;
// not sent (--force sends it anyway)", "failed: ...; sent anyway (--force)".
QString VerdictText(const SendFileCheck& check);
