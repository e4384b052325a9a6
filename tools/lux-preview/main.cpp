// lux-preview: prints the effect list and writes the masks and cells the effects produce.
//
//   lux-preview list [--comma]
//   lux-preview mask EFFECT W H P [--png FILE]   binary PGM on stdout (or a PNG file)
//   lux-preview cells EFFECT W H P               W x H 6-byte cell records on stdout
//   lux-preview frame ... / play ...              one composed frame / a whole transition
//                                                (see transitioncommands.h)
//   lux-preview gallery DIR [--size WxH]          a picture per effect, a contact sheet,
//                                                index.html (see gallerycommand.h)
//   lux-preview --help | --version | COMMAND --help
//
// Exit status: 0 done, 1 a picture or an output could not be read or written, 2 a mistake
// on the command line, 3 the reader of standard output went away.

#include "effects/engine/builtineffects.h"
#include "tools/lux-preview/gallerycommand.h"
#include "tools/lux-preview/previewcommands.h"
#include "tools/lux-preview/previewoutput.h"
#include "tools/lux-preview/transitioncommands.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <csignal>
#include <memory>

int main(int argc, char** argv)
{
    // A reader of standard output that goes away (lux-preview list | head -1) is
    // reported with its own exit status rather than ending the program silently.
    std::signal(SIGPIPE, SIG_IGN);

    // Only the transition commands draw pictures and need the GUI library's platform layer;
    // list, mask and cells run without it, so nothing but their own output reaches stdout
    // and stderr (the platform plugin may print its own warnings).
    const bool transition = argc > 1 && isTransitionCommand(QString::fromLocal8Bit(argv[1]));
    std::unique_ptr<QCoreApplication> app;
    if (transition) {
        // Pictures are drawn off-screen; no display is needed.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    StartEffectRegistry();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    CheckedOutput out(stdout);
    const int status = runCommandLine(previewCommands() + transitionCommands() + galleryCommands(), args, out, stderr);
    const int outputStatus = out.finish(stderr);
    ShutDownEffectRegistry();
    return outputStatus != ExitDone ? outputStatus : status;
}
