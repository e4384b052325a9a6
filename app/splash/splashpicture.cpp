#include "splashpicture.h"

#include "jpegpicture.h"

#include <QtGlobal>

// The resource file is compiled into a static library: registering it by hand
// keeps the linker from dropping it.
static void registerSplashResources()
{
    Q_INIT_RESOURCE(splash);
}

QString SplashPicturePath()
{
    return QStringLiteral(":/pictures/splash.jpg");
}

QImage SplashPicture()
{
    static const bool registered = (registerSplashResources(), true);
    Q_UNUSED(registered);
    return LoadJpegFile(SplashPicturePath());
}
