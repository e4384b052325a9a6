#include "app/cli/sendfilecheck.h"

SendFileCheck CheckSendFile(const CliArguments& arguments)
{
    SendFileCheck check {ReadFirmwareFile(arguments.filePath, !arguments.reportFile.isEmpty()), QStringLiteral("skipped")};
    if (check.file.check.failed())
        check.verdict = arguments.force ? QStringLiteral("forced") : QStringLiteral("failed");
    else if (check.file.check.format != FirmwareFormat::Raw)
        check.verdict = QStringLiteral("ok");
    return check;
}

QString FoundFormatText(const SendFileCheck& check)
{
    if (check.file.check.format == FirmwareFormat::Raw)
        return QStringLiteral("no known format, sent unchanged");
    return FormatAndRangeText(check.file.check);
}

QString VerdictText(const SendFileCheck& check)
{
    if (!check.file.check.failed())
        return check.verdict;
    return QStringLiteral("failed: ") + check.file.check.fault
        + (check.refused() ? QStringLiteral("; not sent (--force sends it anyway)")
                           : QStringLiteral("; sent anyway (--force)"));
}
