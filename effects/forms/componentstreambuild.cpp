// Reading a component stream, second step: the checked plan made into components.

#include "effects/forms/componentstreamplan.h"

#include <QHash>

namespace luxstream {
namespace {

class StreamBuilder {
public:
    explicit StreamBuilder(QObject* owner) : m_owner(owner) {}

    void build(const PlannedComponent& planned, QObject* parentComponent)
    {
        QObject* component = planned.cls->create(m_owner);
        component->setObjectName(planned.name);
        created.append(component);
        if (!planned.name.isEmpty())
            m_byName.insert(planned.name, component);
        if (parentComponent)
            planned.cls->setParentComponent(component, parentComponent);
        apply(component, planned.properties);
        for (const PlannedComponent& child : planned.children)
            build(child, component);
    }

    void resolveReferences()
    {
        for (const Reference& ref : m_references) {
            QObject* target = m_byName.value(ref.name);
            if (!target)
                target = ownerChildNamed(m_owner, ref.name);
            ref.property.write(ref.object, QVariant::fromValue(target));
        }
    }

    QList<QObject*> created;

private:
    void apply(QObject* object, const PlannedProperties& properties)
    {
        for (const PlannedProperty& planned : properties) {
            switch (planned.kind) {
            case Kind::Reference:
                m_references.push_back({object, planned.property, planned.reference});
                break;
            case Kind::Collection: {
                QObject* collection = planned.property.read(object).value<QObject*>();
                if (!collection)
                    break;
                const QMetaObject* mo = collection->metaObject();
                findMethod(mo, "Clear()").invoke(collection, Qt::DirectConnection);
                const QMetaMethod add = findMethod(mo, "Add()");
                for (const PlannedProperties& item : planned.items) {
                    if (QObject* added = invokeForObject(collection, add))
                        apply(added, item);
                }
                break;
            }
            default:
                planned.property.write(object, planned.value);
                break;
            }
        }
    }

    struct Reference {
        QObject* object;
        QMetaProperty property;
        QString name; // empty: none
    };

    QObject* m_owner;
    QHash<QString, QObject*> m_byName;
    std::vector<Reference> m_references;
};

} // namespace

QList<QObject*> buildComponents(const std::vector<PlannedComponent>& plan, QObject* owner)
{
    StreamBuilder builder(owner);
    for (const PlannedComponent& component : plan)
        builder.build(component, nullptr);
    builder.resolveReferences();
    return builder.created;
}

} // namespace luxstream
