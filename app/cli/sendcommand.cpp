#include "app/cli/sendcommand.h"

#include "app/cli/boardrun.h"
#include "app/cli/checkedsettings.h"
#include "app/cli/dryrun.h"
#include "app/cli/runreport.h"
#include "app/cli/sendchecks.h"
#include "app/cli/sendfilecheck.h"
#include "app/cli/sendsummary.h"
#include "app/transfer/endsignals.h"
#include "app/transfer/settingsfolder.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <variant>
#include <vector>

namespace {

int refuse(const QString& mistake)
{
    std::fprintf(stderr, "flashupdate-cli: %s\n", mistake.toLocal8Bit().constData());
    return ExitUsage;
}

// What a send goes to, checked before any board is touched: the ports (the
// one the window would use when none is given) and each one's capture file.
struct SendTargets {
    TPortSettings settings;
    QStringList ports;
    QStringList capturePaths; // one per port, or none
};

// The targets, or the status of a mistake that was said.
std::variant<SendTargets, int> checkTargets(const CliArguments& arguments)
{
    if (arguments.filePath == "-" && arguments.standardInputClosed)
        return refuse(QStringLiteral("FILE is - but standard input is closed"));
    const bool several = arguments.ports.size() > 1;
    if (several) {
        if (const std::optional<QString> mistake = SeveralPortsMistake(arguments))
            return refuse(*mistake);
    }
    SendTargets targets;
    const QString configPath = ConfigPathIn(SettingsFolder());
    targets.settings = CheckedSettings(configPath);
    targets.ports = arguments.ports;
    if (targets.ports.isEmpty()) {
        QString error;
        const std::optional<QString> remembered = RememberedPort(targets.settings, configPath, error);
        if (!remembered && !arguments.dryRun)
            return refuse(error);
        targets.ports << remembered.value_or(QString()); // a dry run opens no port
    }
    if (!arguments.captureFile.isEmpty()) {
        for (const QString& port : targets.ports)
            targets.capturePaths << (several ? BoardRun::CaptureFileFor(arguments.captureFile, port)
                                             : arguments.captureFile);
        if (const std::optional<QString> mistake = CaptureMistake(arguments, targets.ports, targets.capturePaths))
            return refuse(*mistake);
    }
    return targets;
}

using Boards = std::vector<std::unique_ptr<BoardRun>>;

// The report's entry of a board that ran.
ReportedPort reportedPort(const BoardRun& board)
{
    return {{board.port(), board.sentBytes(), board.packetCount(), board.seconds(), board.result()},
            board.exitStatus(),
            board.replies()};
}

// The report's entries when no board ran: each with what kept it from running.
QList<ReportedPort> portsNotRun(const Boards& boards, const QString& result, int status)
{
    QList<ReportedPort> ports;
    for (const auto& board : boards)
        ports << ReportedPort {{board->port(), 0, 0, 0, result}, status, {}};
    return ports;
}

// Writes the report when one was asked for; a report that cannot be written
// turns a success into a failure, as the station would miss the board's record.
int finishReport(const CliArguments& arguments, RunReport& report, int status)
{
    if (arguments.reportFile.isEmpty())
        return status;
    report.exitStatus = status;
    const std::optional<QString> failed = WriteReport(arguments.reportFile, report);
    if (!failed)
        return status;
    std::fprintf(stderr, "flashupdate-cli: --report %s: %s\n", arguments.reportFile.toLocal8Bit().constData(),
                 failed->toLocal8Bit().constData());
    return status == ExitSent ? ExitFailed : status;
}

// The plan: one board per port, each on its row of the progress report.
void planBoards(const CliArguments& arguments, const SendTargets& targets, ProgressReport& progress, Boards& boards)
{
    const bool several = targets.ports.size() > 1;
    for (qsizetype i = 0; i < targets.ports.size(); ++i)
        boards.push_back(
            std::make_unique<BoardRun>(arguments, targets.settings, targets.ports[i], several, progress, int(i)));
}

// Each board's capture file opened; the message, and nothing else, when one
// cannot be opened.
std::optional<QString> openCaptures(const SendTargets& targets, const Boards& boards)
{
    for (qsizetype i = 0; i < targets.capturePaths.size(); ++i) {
        if (std::optional<QString> failed = boards[size_t(i)]->startCapture(targets.capturePaths[i]))
            return failed;
    }
    return std::nullopt;
}

// The run: every board starts, and the event loop turns until all are done,
// Ctrl-C stopping them all. When standard output failed, the status that says so.
std::optional<int> runBoards(const Boards& boards)
{
    size_t running = boards.size();
    for (const auto& board : boards)
        board->onDone = [&running] {
            if (--running == 0)
                QCoreApplication::exit(0);
        };

    // Standard output failed: what the boards send can no longer be kept, so
    // the run ends with a status of its own.
    std::optional<int> outputStatus;
    for (const auto& board : boards)
        board->setOnOutputFailed([&outputStatus](int error) {
            if (outputStatus)
                return;
            std::fprintf(stderr, "flashupdate-cli: standard output: %s\n", std::strerror(error));
            outputStatus = error == EPIPE ? ExitOutputClosed : ExitFailed;
            QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(ExitFailed); },
                                      Qt::QueuedConnection);
        });

    // Ctrl-C, a polite kill and a closed terminal stop the boards like Stop;
    // the ports close (their lock files go) before the program ends.
    QObject signalContext;
    CatchEndSignals(&signalContext, [&boards] {
        for (const auto& board : boards)
            board->interrupt();
    });

    for (const auto& board : boards)
        board->start();
    if (running > 0)
        QCoreApplication::exec();
    return outputStatus;
}

// The summary of several boards: the table on standard error, and the status
// of the run: standard output's failure, then an interruption, then the first
// board that failed.
int summariseBoards(const Boards& boards, ProgressReport& progress, const std::optional<int>& outputStatus)
{
    progress.end();
    QList<SummaryRow> rows;
    std::optional<int> firstFailure;
    bool interrupted = false;
    for (const auto& board : boards) {
        rows << reportedPort(*board);
        rows.last().port = BoardRun::PortLabel(board->port());
        if (board->exitStatus() != ExitSent && !firstFailure)
            firstFailure = board->exitStatus();
        interrupted = interrupted || board->wasInterrupted();
    }
    std::fputs(SummaryTable(rows).toLocal8Bit().constData(), stderr);
    if (outputStatus)
        return *outputStatus;
    if (interrupted)
        return ExitInterrupted;
    return firstFailure.value_or(ExitSent);
}

} // namespace

int RunSendCommand(const CliArguments& arguments)
{
    const QDateTime started = QDateTime::currentDateTimeUtc();
    // From here on Ctrl-C ends the run with its report, whenever it comes.
    HoldEndSignals();
    if (!arguments.reportFile.isEmpty()) {
        if (const std::optional<QString> mistake = ReportPathMistake(arguments.reportFile))
            return refuse(*mistake);
    }
    const std::variant<SendTargets, int> checked = checkTargets(arguments);
    if (const int* refused = std::get_if<int>(&checked))
        return *refused;
    const SendTargets& targets = std::get<SendTargets>(checked);
    const bool several = targets.ports.size() > 1;
    QStringList rowNames {QString()};
    if (several) {
        rowNames.clear();
        for (const QString& port : arguments.ports)
            rowNames << BoardRun::PortLabel(port);
    }
    ProgressReport progress(stderr, ::isatty(STDERR_FILENO) == 1, rowNames);
    Boards boards;
    planBoards(arguments, targets, progress, boards);

    // The file is checked before any port opens.
    const SendFileCheck check = CheckSendFile(arguments);
    RunReport report {started, arguments.file, check.file, check.verdict, boards.front()->sendSettings(), {}, 0};
    if (arguments.dryRun) {
        QStringList names;
        for (const auto& board : boards)
            names << BoardRun::PortLabel(board->port());
        const int planned = RunDryRun(arguments, check, report.settings, names);
        const int status = TakeEndSignal() ? ExitInterrupted : planned;
        report.ports = portsNotRun(boards, QStringLiteral("dry run"), status);
        return finishReport(arguments, report, status);
    }
    if (check.file.check.format != FirmwareFormat::Raw)
        std::fprintf(stderr, "%s: %s, check %s\n", arguments.file.toLocal8Bit().constData(),
                     FoundFormatText(check).toLocal8Bit().constData(), VerdictText(check).toLocal8Bit().constData());
    if (check.refused()) {
        report.ports = portsNotRun(boards, QStringLiteral("not sent: ") + check.file.check.fault, ExitFailed);
        return finishReport(arguments, report, ExitFailed);
    }
    if (TakeEndSignal()) {
        report.ports = portsNotRun(boards, QStringLiteral("not sent: interrupted"), ExitInterrupted);
        return finishReport(arguments, report, ExitInterrupted);
    }
    if (const std::optional<QString> failed = openCaptures(targets, boards)) {
        std::fprintf(stderr, "%s\n", failed->toLocal8Bit().constData());
        report.ports = portsNotRun(boards, QString(*failed).replace(QLatin1Char('\n'), QStringLiteral(": ")),
                                   ExitFailed);
        return finishReport(arguments, report, ExitFailed);
    }

    const std::optional<int> outputStatus = runBoards(boards);
    for (const auto& board : boards)
        report.ports << reportedPort(*board);
    const int status = several ? summariseBoards(boards, progress, outputStatus)
                               : outputStatus.value_or(boards.front()->exitStatus());
    return finishReport(arguments, report, status);
}
