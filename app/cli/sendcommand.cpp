#include "app/cli/sendcommand.h"

#include "app/cli/boardrun.h"
#include "app/cli/checkedsettings.h"
#include "app/cli/sendsummary.h"
#include "app/transfer/serialdevice.h"
#include "app/transfer/settingsfolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

int g_interruptPipe[2] = {-1, -1};

void onInterrupt(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_interruptPipe[1], &byte, 1);
}

// Ctrl-C (and a polite kill) arrive on a pipe, so the event loop handles them
// between ticks like a press on Stop.
void catchInterrupts()
{
    if (::pipe2(g_interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

// Several boards read the file each from its start: only a regular file can
// be read so; the bytes of a pipe or device would be shared out among them.
// The same port twice would be refused by its lock halfway through.
std::optional<QString> severalPortsMistake(const CliArguments& arguments)
{
    const QFileInfo file(QString::fromLocal8Bit(arguments.filePath));
    if (arguments.filePath == "-" || (file.exists() && !file.isFile()))
        return QStringLiteral("with several ports FILE must be a regular file, which every board reads "
                              "from its start");
    QStringList devices;
    for (const QString& port : arguments.ports) {
        const QString device = SerialDevice::DevicePathFor(port);
        const QString canonical = QFileInfo(device).canonicalFilePath();
        const QString same = canonical.isEmpty() ? device : canonical;
        if (devices.contains(same))
            return QStringLiteral("--port %1 is given twice").arg(port);
        devices << same;
    }
    return std::nullopt;
}

using Boards = std::vector<std::unique_ptr<BoardRun>>;

// The plan: one board per port given, or one on the remembered port, each on
// its row of the progress report and with its capture file open. The
// message, and nothing else, when a capture file cannot be opened.
std::optional<QString> planBoards(const CliArguments& arguments, ProgressReport& progress, Boards& boards)
{
    const bool several = arguments.ports.size() > 1;
    const TPortSettings settings = CheckedSettings(ConfigPathIn(SettingsFolder()));
    if (arguments.ports.isEmpty())
        boards.push_back(std::make_unique<BoardRun>(arguments, settings, std::nullopt, false, progress, 0));
    for (qsizetype i = 0; i < arguments.ports.size(); ++i)
        boards.push_back(
            std::make_unique<BoardRun>(arguments, settings, arguments.ports[i], several, progress, int(i)));

    if (arguments.captureFile.isEmpty())
        return std::nullopt;
    for (const auto& board : boards) {
        const QString path = several ? BoardRun::CaptureFileFor(arguments.captureFile, board->port())
                                     : arguments.captureFile;
        if (std::optional<QString> failed = board->startCapture(path))
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

    catchInterrupts();
    QSocketNotifier interrupts(g_interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(&interrupts, &QSocketNotifier::activated, &interrupts, [&] {
        char drain[16];
        while (::read(g_interruptPipe[0], drain, sizeof drain) > 0) {}
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
        rows << SummaryRow {BoardRun::PortLabel(board->port()), board->sentBytes(), board->packetCount(),
                            board->seconds(), board->result()};
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
    const bool several = arguments.ports.size() > 1;
    if (several) {
        if (const std::optional<QString> mistake = severalPortsMistake(arguments)) {
            std::fprintf(stderr, "flashupdate-cli: %s\n", mistake->toLocal8Bit().constData());
            return ExitUsage;
        }
    }
    QStringList rowNames {QString()};
    if (several) {
        rowNames.clear();
        for (const QString& port : arguments.ports)
            rowNames << BoardRun::PortLabel(port);
    }
    ProgressReport progress(stderr, ::isatty(STDERR_FILENO) == 1, rowNames);

    Boards boards;
    if (const std::optional<QString> failed = planBoards(arguments, progress, boards)) {
        std::fprintf(stderr, "%s\n", failed->toLocal8Bit().constData());
        return ExitFailed;
    }
    const std::optional<int> outputStatus = runBoards(boards);
    if (!several)
        return outputStatus.value_or(boards.front()->exitStatus());
    return summariseBoards(boards, progress, outputStatus);
}
