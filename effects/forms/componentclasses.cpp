#include "effects/forms/componentclasses.h"

#include "effects/forms/animationform.h"
#include "effects/forms/animationlist.h"
#include "effects/forms/componentregistry.h"
#include "effects/bitmap/imagelist.h"
#include "effects/forms/luxanimation.h"
#include "effects/engine/luxanimationrec.h"

void RegisterLuxComponentClasses()
{
    RegisterComponentClass<TluxAnimationRec>();
    RegisterComponentClass<TluxAnimation>();
    RegisterComponentClass<TluxAnimationList>();
    RegisterComponentClass<TluxAnimationForm>();
    RegisterComponentClass<TluxImageList>();
}

void UnregisterLuxComponentClasses()
{
    ClearComponentClasses();
}
