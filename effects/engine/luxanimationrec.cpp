#include "effects/engine/luxanimationrec.h"

#include <algorithm>

TluxAnimationRec::TluxAnimationRec(QObject* owner)
    : QObject(owner)
    , Effect(QString::fromLatin1(luxRandomEffectName))
{
}

void TluxAnimationRec::Assign(const TluxAnimationRec* Source)
{
    if (!Source || Source == this)
        return;
    Bitmap = Source->Bitmap.copy();
    Enabled = Source->Enabled;
    Time = Source->Time;
    Resolution = Source->Resolution;
    TileCount = Source->TileCount;
    Effect = Source->Effect;
    Rotation = Source->Rotation;
}

void TluxAnimationRec::SetTime(int Value)
{
    if (Value == Time)
        return;
    Time = std::clamp(Value, minTime, maxTime);
}

void TluxAnimationRec::SetResolution(int Value)
{
    if (Value == Resolution)
        return;
    Resolution = std::clamp(Value, 1, maxResolution);
}

void TluxAnimationRec::SetTileCount(int Value)
{
    if (Value == TileCount)
        return;
    TileCount = std::clamp(Value, 1, maxTileCount);
}

bool TluxAnimationRec::isStored(const QString& property) const
{
    if (property == QLatin1String("Enabled"))
        return Enabled;
    if (property == QLatin1String("Time"))
        return Time != defaultTime;
    if (property == QLatin1String("Resolution"))
        return Resolution != 1;
    if (property == QLatin1String("TileCount"))
        return TileCount != 1;
    // The effect is always stored: an empty one left out would come back as
    // the random selection, the constructor's default.
    if (property == QLatin1String("Effect"))
        return true;
    if (property == QLatin1String("Rotation"))
        return Rotation != krNone;
    if (property == QLatin1String("Bitmap"))
        return !Bitmap.isNull();
    return false;
}
