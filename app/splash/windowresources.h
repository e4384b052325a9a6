#pragma once
// What the splash window and the About box read from the program's built-in
// resources (resources/splash.qrc): the picture, decoded with libjpeg each
// time a window needs it, and each window's component stream.

#include <QImage>
#include <QString>

#include <stdexcept>

class QWidget;

// Where the picture lives among the program's resources.
QString SplashPicturePath();

// The decoded picture (242 x 154). Throws JpegError when the built-in copy is
// damaged.
QImage SplashPicture();

// A component stream that cannot be read.
class ComponentStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the built-in component stream Name ("form3-components.json") into
// Form, which owns the components; they are loaded (the form animation hooks
// the form) before this returns. Throws ComponentStreamError naming the stream
// and the reader's message when it is missing or refused (as it is before the
// effects' component classes are registered at start-up).
void ReadFormComponents(QWidget* Form, const QString& Name);
