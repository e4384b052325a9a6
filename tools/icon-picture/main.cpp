// icon-picture <output folder>
// Draws the program's icon and writes flashupdate-<size>.png for each size the
// desktop menu uses. Runs without a display (QT_QPA_PLATFORM=offscreen is enough).

#include "tools/icon-picture/icondrawing.h"

#include <QDir>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: icon-picture <output folder>\n");
        return 2;
    }
    for (int size : IconSizes) {
        const QString path = QDir(args[0]).filePath(QStringLiteral("flashupdate-%1.png").arg(size));
        if (!DrawIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "icon-picture: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
