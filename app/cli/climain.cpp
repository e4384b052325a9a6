// flashupdate-cli: the transfer engine without windows, for scripts and
// production lines.

#include "app/cli/cliarguments.h"
#include "app/cli/exitstatus.h"
#include "app/cli/portlist.h"
#include "app/cli/sendcommand.h"
#include "app/transfer/portsettings.h"
#include "app/transfer/settingsfolder.h"

#include <QCoreApplication>

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    // A reader of standard output that goes away is a write error to report,
    // not a signal that ends the program without a word.
    std::signal(SIGPIPE, SIG_IGN);
    // Started with standard input closed, the first descriptor Qt opens
    // would take its number and "-" would read it: /dev/null takes the number
    // instead, and "send -" is refused.
    const bool standardInputClosed = ::fcntl(STDIN_FILENO, F_GETFD) == -1 && errno == EBADF;
    if (standardInputClosed)
        ::open("/dev/null", O_RDONLY);
    QCoreApplication app(argc, argv);
    QString error;
    const std::optional<CliArguments> arguments = ParseCliArguments(app.arguments().mid(1), error);
    if (!arguments) {
        std::fprintf(stderr, "flashupdate-cli: %s\n\n%s", error.toLocal8Bit().constData(),
                     CliUsage().toLocal8Bit().constData());
        return ExitUsage;
    }
    switch (arguments->command) {
    case CliArguments::Command::Help:
        std::fputs(CliUsage().toLocal8Bit().constData(), stdout);
        std::printf("This copy's settings file: %s\n",
                    ConfigPathIn(ChooseSettingsFolder(SettingsPlaceOf(QCoreApplication::applicationDirPath())))
                        .toLocal8Bit()
                        .constData());
        return 0;
    case CliArguments::Command::Version:
        std::printf("flashupdate-cli %s\n", FLASHUPDATE_VERSION);
        return 0;
    case CliArguments::Command::Ports: {
        const QStringList lines = PortListLines();
        for (const QString& line : lines)
            std::printf("%s\n", line.toLocal8Bit().constData());
        if (lines.isEmpty())
            std::fprintf(stderr, "no serial ports found\n");
        return 0;
    }
    case CliArguments::Command::Send: {
        // The file name as given: its bytes, also when they are not text.
        CliArguments send = *arguments;
        send.standardInputClosed = standardInputClosed;
        send.filePath = QFile::encodeName(send.file);
        for (int i = 1; i < argc; ++i)
            if (QFile::decodeName(QByteArray(argv[i])) == send.file)
                send.filePath = argv[i];
        return RunSendCommand(send);
    }
    }
    return ExitUsage;
}
