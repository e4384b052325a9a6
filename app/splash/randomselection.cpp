#include "app/splash/randomselection.h"

#include "effects/forms/luxanimation.h"
#include "effects/masks/randomgen.h"

#include <memory>

void KeepSelectionRandom(TluxAnimation* Animation)
{
    if (!Animation)
        return;
    // OnStart runs before the engine selects the effect, which is one draw.
    auto before = std::make_shared<uint32_t>(0);
    Animation->OnStart = [before](QObject*) { *before = RandSeed; };
    Animation->OnFinish = [before](QObject*) { RandSeed = advanceSeed(*before, 1); };
}
