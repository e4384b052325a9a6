#include "effects/masks/randomgen.h"

#include <QDateTime>
#include <QTime>

uint32_t RandSeed = 0;

void Randomize()
{
    const QTime now = QDateTime::currentDateTimeUtc().time();
    const uint32_t ms = uint32_t(((now.hour() * 60 + now.minute()) * 60 + now.second()) * 1000
                                 + now.msec());
    RandSeed = ms;
}

uint32_t advanceSeed(uint32_t seed, uint64_t steps)
{
    // Compose the affine step s -> a*s + c with itself by repeated squaring.
    uint32_t mul = 134775813u, add = 1u;
    uint32_t accMul = 1u, accAdd = 0u;
    while (steps) {
        if (steps & 1u) {
            accMul = accMul * mul;
            accAdd = accAdd * mul + add;
        }
        add = add * mul + add;
        mul = mul * mul;
        steps >>= 1;
    }
    return seed * accMul + accAdd;
}
