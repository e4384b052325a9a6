// lux-preview: prints the effect list and writes the masks and cells the effects produce.
//
//   lux-preview list [--comma]
//   lux-preview mask EFFECT W H P [--png FILE]   binary PGM on stdout (or a PNG file)
//   lux-preview cells EFFECT W H P               W x H 6-byte cell records on stdout

#include "effectregistry.h"
#include "previewcommands.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    StartEffectRegistry();
    QStringList args = app.arguments();
    args.removeFirst();
    const int status = runPreview(args, stdout, stderr);
    std::fflush(stdout);
    ShutDownEffectRegistry();
    return status;
}
