#include "app/cli/sendcommand.h"

#include "app/cli/checkedsettings.h"
#include "app/cli/consolecontrols.h"
#include "app/transfer/settingsfolder.h"
#include "app/transfer/transferengine.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int LingerCheckMs = 10;

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

int exitStatusFor(TransferEngine::TransferEnd end, const TransferEngine& engine)
{
    switch (end) {
    case TransferEngine::TransferEnd::Finished:
    case TransferEngine::TransferEnd::NoMoreData:
        return engine.sentBytes() >= engine.fileSize() ? ExitSent : ExitFailed;
    case TransferEngine::TransferEnd::Interrupted:
        return ExitInterrupted;
    default:
        return ExitFailed;
    }
}

void applyArguments(const CliArguments& arguments, ConsoleControls& controls, TransferEngine& engine)
{
    if (arguments.port)
        controls.typePort(*arguments.port);
    if (arguments.baud)
        controls.typeBaud(*arguments.baud);
    if (arguments.gapMs) {
        controls.setTimeGapText(QString::number(*arguments.gapMs));
        engine.Edit1Change();
    }
    if (arguments.blockSize) {
        controls.setPauseByDataSize(true);
        controls.setDataSizeText(QString::number(*arguments.blockSize));
        engine.Edit2Change();
    } else if (arguments.lines) {
        controls.setPauseByDataSize(false);
    }
    controls.sendFile = arguments.file;
    engine.setReplyWait(arguments.waitFor, arguments.replyTimeoutMs);
    controls.timestamps = arguments.timestamps;
    controls.msSinceStart = [&engine] { return engine.msSinceStart(); };
    controls.sendFileBytes = arguments.filePath;
}

} // namespace

int RunSendCommand(const CliArguments& arguments)
{
    ConsoleControls controls;
    TransferEngine engine(controls);
    controls.listenTo(engine);
    // One-off options must not become the window's remembered settings.
    engine.setSavesSettings(false);
    engine.ApplySettings(CheckedSettings(ConfigPathIn(SettingsFolder())));
    applyArguments(arguments, controls, engine);

    if (!arguments.captureFile.isEmpty()) {
        if (const TransferError failed = controls.capture.start(arguments.captureFile)) {
            std::fprintf(stderr, "Can't Open Capture File!\n%s\n", failed.reason.toLocal8Bit().constData());
            return ExitFailed;
        }
    }

    std::optional<int> status;
    QTimer linger;
    QObject::connect(&engine, &TransferEngine::transferEnded, &engine,
                     [&](TransferEngine::TransferEnd end) {
                         status = exitStatusFor(end, engine);
                         std::fprintf(stderr, "packets: %d\n", engine.packetCount());
                         if (end == TransferEngine::TransferEnd::LinkFailed)
                             QCoreApplication::exit(*status);
                         else
                             linger.start(LingerCheckMs);
                     });
    // After the end, keep showing what the board sends until it falls quiet.
    QObject::connect(&linger, &QTimer::timeout, &engine, [&] {
        engine.PollReceive();
        if (controls.quietMs() >= arguments.lingerMs || engine.linkState() == 0)
            QCoreApplication::exit(status.value_or(ExitFailed));
    });

    // Standard output failed: what the board sends can no longer be kept, so
    // the run ends with a status of its own.
    std::optional<int> outputStatus;
    controls.onOutputFailed = [&](int error) {
        std::fprintf(stderr, "flashupdate-cli: standard output: %s\n", std::strerror(error));
        outputStatus = error == EPIPE ? ExitOutputClosed : ExitFailed;
        QMetaObject::invokeMethod(&engine, [] { QCoreApplication::exit(ExitFailed); }, Qt::QueuedConnection);
    };

    catchInterrupts();
    QSocketNotifier interrupts(g_interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(&interrupts, &QSocketNotifier::activated, &engine, [&] {
        char drain[16];
        while (::read(g_interruptPipe[0], drain, sizeof drain) > 0) {}
        if (engine.linkState() & TransferEngine::Sending)
            engine.Button1Click(); // Stop: "Transmit Interrupt !!!"
        else
            QCoreApplication::exit(status.value_or(ExitInterrupted));
    });

    engine.Button1Click();
    if (engine.linkState() == 0)
        return ExitFailed; // the port was not opened; the message said why
    if (status && !(engine.linkState() & TransferEngine::Sending))
        return *status; // the file or a number was refused at Start
    if (const QString warning = engine.wireTimeWarning(); !warning.isEmpty())
        std::fprintf(stderr, "%s\n", warning.toLocal8Bit().constData());
    const int exitStatus = QCoreApplication::exec();
    return outputStatus.value_or(exitStatus);
}
