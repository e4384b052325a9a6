#pragma once
// The picture of the splash window and the About box: resources/splash.jpg,
// built into the program and decoded with libjpeg each time a window needs it.

#include <QImage>
#include <QString>

// Where the picture lives among the program's resources.
QString SplashPicturePath();

// The decoded picture (242 x 154). Throws JpegError when the built-in copy is
// damaged.
QImage SplashPicture();
