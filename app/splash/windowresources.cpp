#include "app/splash/windowresources.h"

#include "effects/forms/componentstream.h"
#include "app/picture/jpegpicture.h"

#include <QFile>
#include <QWidget>

// The resource file is compiled into a static library: registering it by hand
// keeps the linker from dropping it.
static void registerWindowResources()
{
    Q_INIT_RESOURCE(splash);
}

namespace {

void useWindowResources()
{
    static const bool registered = (registerWindowResources(), true);
    Q_UNUSED(registered);
}

} // namespace

QString SplashPicturePath()
{
    return QStringLiteral(":/pictures/splash.jpg");
}

QImage SplashPicture()
{
    useWindowResources();
    return LoadJpegFile(SplashPicturePath());
}

void ReadFormComponents(QWidget* Form, const QString& Name)
{
    useWindowResources();
    const QString path = QStringLiteral(":/components/") + Name;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ComponentStreamError(
            QStringLiteral("Cannot read the component stream \"%1\": %2").arg(path, file.errorString()).toStdString());
    const ComponentStreamResult result = ReadComponentStream(file.readAll(), Form);
    if (!result.ok)
        throw ComponentStreamError(
            QStringLiteral("The component stream \"%1\" is refused: %2").arg(path, result.error).toStdString());
}
