#include "app/cli/dryrun.h"

#include "app/cli/exitstatus.h"
#include "app/transfer/escapedtext.h"

#include <cmath>
#include <cstdio>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
}

QString packetKind(const SendSettings& settings)
{
    if (!settings.blockSize)
        return QStringLiteral("lines");
    return QStringLiteral("blocks of %1 bytes, a line where less than a block is left").arg(*settings.blockSize);
}

// The file cannot be read: said as the transfer would say it.
int cannotRead(const TransferError& error)
{
    const Headline headline =
        error.operation == TransferError::Operation::OpenFile ? Headline::SendFileNotOpened : Headline::SendFileRead;
    std::fprintf(stderr, "%s\n%s\n", HeadlineText(headline).text.toLocal8Bit().constData(),
                 error.reason.toLocal8Bit().constData());
    return ExitFailed;
}

} // namespace

QString DurationText(double seconds)
{
    QString text = QString::number(seconds, 'f', 3) + QStringLiteral(" s");
    const qint64 whole = qint64(std::llround(seconds));
    if (whole < 60)
        return text;
    const QString minutes = QStringLiteral("%1 min %2 s").arg(whole / 60 % 60).arg(whole % 60);
    return text + QStringLiteral(" (") + (whole >= 3600 ? QStringLiteral("%1 h ").arg(whole / 3600) : QString())
        + minutes + QLatin1Char(')');
}

int RunDryRun(const CliArguments& arguments, const SendFileCheck& check, const SendSettings& settings,
              const QStringList& ports)
{
    const FirmwareFile& file = check.file;
    if (file.error)
        return cannotRead(file.error);
    if (!file.readAhead) {
        say(QStringLiteral("file: %1, a stream: its format, packets and time are known only once it is sent")
                .arg(arguments.file));
        say(QStringLiteral("check: skipped"));
        say(QStringLiteral("ports: %1 (not opened)").arg(ports.join(QStringLiteral(", "))));
        return ExitSent;
    }
    say(QStringLiteral("file: %1, %2 bytes").arg(arguments.file).arg(file.bytes));
    say(QStringLiteral("format: ") + FoundFormatText(check));
    say(QStringLiteral("check: ") + VerdictText(check));

    const TransferPlan plan = PlanTransfer(arguments.filePath, settings.plan());
    if (plan.error)
        return cannotRead(plan.error);
    say(QStringLiteral("packets: %1 (%2)").arg(plan.packets).arg(packetKind(settings)));
    say(QStringLiteral("bytes: %1").arg(plan.bytes));
    say(QStringLiteral("wire time: %1 at %2 baud, %3")
            .arg(DurationText(plan.wireSeconds))
            .arg(settings.baud.value_or(0))
            .arg(LineFormatText(settings.format)));
    const int gap = std::max(settings.gapMs, 1);
    if (settings.waitFor.isEmpty())
        say(QStringLiteral("whole time: %1 with a Time Gap of %2 ms").arg(DurationText(plan.wholeSeconds)).arg(gap));
    else
        say(QStringLiteral("whole time: at least %1 with a Time Gap of %2 ms, waiting for %3 after each packet")
                .arg(DurationText(plan.wholeSeconds))
                .arg(gap)
                .arg(QuotedBytes(settings.waitFor)));
    say(QStringLiteral("ports: %1 (not opened)").arg(ports.join(QStringLiteral(", "))));
    return check.refused() ? ExitFailed : ExitSent;
}
