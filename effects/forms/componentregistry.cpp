#include "effects/forms/componentregistry.h"

#include <QStringList>

#include <deque>

namespace {

std::deque<ComponentClass>& registry()
{
    static std::deque<ComponentClass> classes;
    return classes;
}

} // namespace

void RegisterComponentClass(const ComponentClass& Class)
{
    for (ComponentClass& c : registry()) {
        if (c.name == Class.name) {
            c = Class;
            return;
        }
    }
    registry().push_back(Class);
}

const ComponentClass* FindComponentClass(const QString& Name)
{
    for (const ComponentClass& c : registry()) {
        if (c.name == Name)
            return &c;
    }
    return nullptr;
}

const ComponentClass* ComponentClassOf(const QObject* Object)
{
    if (!Object)
        return nullptr;
    const ComponentClass* c = FindComponentClass(QString::fromLatin1(Object->metaObject()->className()));
    return c && c->metaObject == Object->metaObject() ? c : nullptr;
}

QObject* CreateComponent(const QString& Name, QObject* Owner)
{
    const ComponentClass* c = FindComponentClass(Name);
    return c ? c->create(Owner) : nullptr;
}

QStringList RegisteredComponentClasses()
{
    QStringList names;
    for (const ComponentClass& c : registry())
        names.append(c.name);
    return names;
}

void ClearComponentClasses()
{
    registry().clear();
}
