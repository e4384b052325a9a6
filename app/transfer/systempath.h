#pragma once
// A path shown as text back to the bytes the system names it by. A name that
// is not valid text in the locale shows with replacement characters and
// cannot be encoded back; such a part is found again among the entries of its
// folder, the one entry whose shown name it is.

#include <QByteArray>
#include <QString>

QByteArray SystemPath(const QString& shown);
