#include "app/window/firmwarestart.h"

#include "app/transfer/firmwarecheck.h"
#include "app/window/logbox.h"

bool CheckFirmwareAtStart(const QByteArray& path, LogBox& log, const QuestionAsker& ask)
{
    const FirmwareCheck check = ReadFirmwareFile(path, false).check;
    if (check.format == FirmwareFormat::Raw)
        return true;
    // Two short lines: the log box does not wrap.
    const QString found = FormatAndRangeText(check);
    if (!check.failed()) {
        log.appendLine(found + QStringLiteral("\ncheck ok"));
        return true;
    }
    log.appendLine(found + QStringLiteral("\ncheck failed: ") + check.fault);
    const bool send = ask(QStringLiteral("The file fails its %1 check:\n%2\n\nSend it anyway?")
                              .arg(FirmwareFormatName(check.format), check.fault));
    if (!send)
        log.appendLine(QStringLiteral("not sent"));
    return send;
}
