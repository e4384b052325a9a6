// splash-picture <output.jpg> [--png <preview.png>]
// Draws the picture of the splash window and the About box and writes it as a
// baseline JPEG. Runs without a display (QT_QPA_PLATFORM=offscreen is enough).

#include "tools/splash-picture/jpegwriter.h"
#include "tools/splash-picture/splashdrawing.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1 && !(args.size() == 3 && args[1] == QLatin1String("--png"))) {
        std::fprintf(stderr, "usage: splash-picture <output.jpg> [--png <preview.png>]\n");
        return 2;
    }
    const QImage picture = DrawSplashPicture();
    const QString error = WriteBaselineJpeg(picture, args[0], 92);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "splash-picture: %s\n", qPrintable(error));
        return 1;
    }
    if (args.size() == 3 && !picture.save(args[2], "PNG")) {
        std::fprintf(stderr, "splash-picture: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
