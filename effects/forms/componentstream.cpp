// Reading a component stream: the whole stream checked, then built, then each
// created component told it has been loaded.

#include "effects/forms/componentstream.h"

#include "effects/forms/componentregistry.h"
#include "effects/forms/componentstreamplan.h"

ComponentStreamResult ReadComponentStream(const QByteArray& Data, QObject* Owner)
{
    ComponentStreamResult result;
    std::vector<luxstream::PlannedComponent> plan;
    if (!luxstream::checkComponentStream(Data, Owner, plan, result.error))
        return result;
    const QList<QObject*> created = luxstream::buildComponents(plan, Owner);
    for (QObject* component : created) {
        if (const ComponentClass* cls = ComponentClassOf(component); cls && cls->loaded)
            cls->loaded(component);
    }
    result.ok = true;
    result.components = created;
    return result;
}
