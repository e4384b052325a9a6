#pragma once
// Reading a component stream goes in two steps. The checks turn the whole
// stream into a plan, creating nothing, or refuse it; building then makes the
// plan into components. The plan is what passes between the two.

#include "effects/forms/componentregistry.h"
#include "effects/forms/componentstreamkinds.h"

#include <QByteArray>
#include <QList>
#include <QMetaProperty>
#include <QObject>
#include <QString>
#include <QVariant>

#include <vector>

namespace luxstream {

struct PlannedProperty;
using PlannedProperties = std::vector<PlannedProperty>;

struct PlannedProperty {
    QMetaProperty property;
    Kind kind = Kind::Unsupported;
    QVariant value;                      // plain values
    QString reference;                   // Reference: the name, empty for none
    std::vector<PlannedProperties> items; // Collection
};

struct PlannedComponent {
    const ComponentClass* cls = nullptr;
    QString name;
    PlannedProperties properties;
    std::vector<PlannedComponent> children;
};

// Checks the whole stream (names are also checked against owner's children)
// and fills plan; false with error set, naming the place, when it is refused.
bool checkComponentStream(const QByteArray& data, QObject* owner, std::vector<PlannedComponent>& plan,
                          QString& error);

// Creates the planned components, owned by owner, sets their properties, puts
// nested ones into their parents and resolves the references. Returns every
// component created, in creation order.
QList<QObject*> buildComponents(const std::vector<PlannedComponent>& plan, QObject* owner);

// Owner's child of that name, or null (also when owner is null).
inline QObject* ownerChildNamed(QObject* owner, const QString& name)
{
    if (!owner)
        return nullptr;
    for (QObject* child : owner->children()) {
        if (child->objectName() == name)
            return child;
    }
    return nullptr;
}

} // namespace luxstream
