// lux-preview: prints the effect list and writes the masks and cells the effects produce.
//
//   lux-preview list [--comma]
//   lux-preview mask EFFECT W H P [--png FILE]   binary PGM on stdout (or a PNG file)
//   lux-preview cells EFFECT W H P               W x H 6-byte cell records on stdout
//   lux-preview frame ... / play ...              one composed frame / a whole transition
//                                                (see transitioncommands.h)

#include "effectregistry.h"
#include "previewcommands.h"
#include "transitioncommands.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    // Pictures are drawn off-screen; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    StartEffectRegistry();
    QStringList args = app.arguments();
    args.removeFirst();
    const int status = !args.isEmpty() && isTransitionCommand(args[0]) ? runTransitionCommand(args, stdout, stderr)
                                                                       : runPreview(args, stdout, stderr);
    std::fflush(stdout);
    ShutDownEffectRegistry();
    return status;
}
