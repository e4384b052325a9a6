#include "effects/bitmap/assignerror.h"

#include <QObject>
#include <QString>

void raiseAssignError(const QObject* Source, const QObject* Target)
{
    const char* source = Source ? Source->metaObject()->className() : "nil";
    const char* target = Target ? Target->metaObject()->className() : "nil";
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2")
                            .arg(QLatin1String(source), QLatin1String(target))
                            .toStdString());
}
