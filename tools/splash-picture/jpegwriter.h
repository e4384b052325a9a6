#pragma once
// Writes a picture as a baseline JPEG with libjpeg's classic API.

#include <QImage>
#include <QString>

// Quality 0..100; chroma at full resolution (4:4:4) so thin coloured lines and
// text stay sharp. Returns an error text, empty on success.
QString WriteBaselineJpeg(const QImage& picture, const QString& path, int quality);
