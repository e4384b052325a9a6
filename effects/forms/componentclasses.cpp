#include "componentclasses.h"

#include "animationform.h"
#include "animationlist.h"
#include "componentregistry.h"
#include "imagelist.h"
#include "luxanimation.h"
#include "luxanimationrec.h"

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
