#include "app/cli/sendcommand.h"

#include "app/cli/boardrun.h"
#include "app/cli/checkedsettings.h"
#include "app/cli/sendchecks.h"
#include "app/cli/sendsummary.h"
#include "app/transfer/endsignals.h"
#include "app/transfer/settingsfolder.h"

#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

int refuse(const QString& mistake)
{
    std::fprintf(stderr, "flashupdate-cli: %s\n", mistake.toLocal8Bit().constData());
    return ExitUsage;
}

} // namespace

int RunSendCommand(const CliArguments& arguments)
{
    if (arguments.filePath == "-" && arguments.standardInputClosed)
        return refuse(QStringLiteral("FILE is - but standard input is closed"));
    const bool several = arguments.ports.size() > 1;
    if (several) {
        if (const std::optional<QString> mistake = SeveralPortsMistake(arguments))
            return refuse(*mistake);
    }
    const QString configPath = ConfigPathIn(SettingsFolder());
    const TPortSettings settings = CheckedSettings(configPath);
    QStringList ports = arguments.ports;
    if (ports.isEmpty()) {
        QString error;
        const std::optional<QString> remembered = RememberedPort(settings, configPath, error);
        if (!remembered)
            return refuse(error);
        ports << *remembered;
    }
    QStringList capturePaths;
    if (!arguments.captureFile.isEmpty()) {
        for (const QString& port : ports)
            capturePaths << (several ? BoardRun::CaptureFileFor(arguments.captureFile, port) : arguments.captureFile);
        if (const std::optional<QString> mistake = CaptureMistake(arguments, ports, capturePaths))
            return refuse(*mistake);
    }
    QStringList rowNames {QString()};
    if (several) {
        rowNames.clear();
        for (const QString& port : arguments.ports)
            rowNames << BoardRun::PortLabel(port);
    }
    ProgressReport progress(stderr, ::isatty(STDERR_FILENO) == 1, rowNames);

    std::vector<std::unique_ptr<BoardRun>> boards;
    for (qsizetype i = 0; i < ports.size(); ++i)
        boards.push_back(std::make_unique<BoardRun>(arguments, settings, ports[i], several, progress, int(i)));

    for (qsizetype i = 0; i < capturePaths.size(); ++i) {
        if (const std::optional<QString> failed = boards[size_t(i)]->startCapture(capturePaths[i])) {
            std::fprintf(stderr, "%s\n", failed->toLocal8Bit().constData());
            return ExitFailed;
        }
    }

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
    if (!several)
        return outputStatus.value_or(boards.front()->exitStatus());

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
