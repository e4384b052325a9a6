#pragma once
// The component class registry: the classes a component stream may name, each
// registered once at start-up, created by name while a stream is read.
//
// Besides a factory, an entry remembers which of the component model's
// optional operations the class has, found when it is registered:
//   bool isStored(const QString& property) const   which properties a stream stores now
//   void Loaded()                                  called once a stream has been read
//   bool HasParent() const                         the component is written inside a parent
//   QObject* GetParentComponent() const            that parent
//   void SetParentComponent(QObject* parent)       puts the component into a parent
//   void GetChildren(const std::function<void(QObject*)>& proc, QObject* root) const
//                                                  the components written nested inside it
// A class has an operation when it (or a base) declares one of that shape.

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>

#include <concepts>
#include <functional>

struct ComponentClass {
    QString name;
    const QMetaObject* metaObject = nullptr;
    std::function<QObject*(QObject* owner)> create;
    std::function<bool(const QObject*, const QString& property)> isStored; // may be empty
    std::function<void(QObject*)> loaded;                                   // may be empty
    std::function<bool(const QObject*)> hasParent;                          // may be empty
    std::function<QObject*(const QObject*)> parentComponent;                // may be empty
    std::function<void(QObject*, QObject* parent)> setParentComponent;      // may be empty
    std::function<QList<QObject*>(const QObject*)> children;                // may be empty
};

// Adds Class to the registry; a class of the same name is replaced. Entries
// stay at their address until ClearComponentClasses.
void RegisterComponentClass(const ComponentClass& Class);
// The registered class of that name, or null.
const ComponentClass* FindComponentClass(const QString& Name);
// The registered class of Object's own class (not a base), or null.
const ComponentClass* ComponentClassOf(const QObject* Object);
// A new component of the class named, owned by Owner; null when no such class is registered.
QObject* CreateComponent(const QString& Name, QObject* Owner);
// Names of the registered classes, in registration order.
QStringList RegisteredComponentClasses();
// Empties the registry (shut-down step).
void ClearComponentClasses();

// Registers T (a Q_OBJECT class constructible as T(QObject* owner)) with the
// operations it has.
template <typename T>
void RegisterComponentClass()
{
    ComponentClass c;
    c.metaObject = &T::staticMetaObject;
    c.name = QString::fromLatin1(c.metaObject->className());
    c.create = [](QObject* owner) -> QObject* { return new T(owner); };
    if constexpr (requires(const T& t, const QString& p) { { t.isStored(p) } -> std::convertible_to<bool>; })
        c.isStored = [](const QObject* o, const QString& p) { return static_cast<const T*>(o)->isStored(p); };
    if constexpr (requires(T& t) { t.Loaded(); })
        c.loaded = [](QObject* o) { static_cast<T*>(o)->Loaded(); };
    if constexpr (requires(const T& t) { { t.HasParent() } -> std::convertible_to<bool>; })
        c.hasParent = [](const QObject* o) { return static_cast<const T*>(o)->HasParent(); };
    if constexpr (requires(const T& t) { { t.GetParentComponent() } -> std::convertible_to<QObject*>; })
        c.parentComponent = [](const QObject* o) -> QObject* { return static_cast<const T*>(o)->GetParentComponent(); };
    if constexpr (requires(T& t, QObject* p) { t.SetParentComponent(p); })
        c.setParentComponent = [](QObject* o, QObject* p) { static_cast<T*>(o)->SetParentComponent(p); };
    if constexpr (requires(const T& t, const std::function<void(QObject*)>& f, QObject* r) { t.GetChildren(f, r); }) {
        c.children = [](const QObject* o) {
            QList<QObject*> list;
            static_cast<const T*>(o)->GetChildren([&list](QObject* child) { list.append(child); }, nullptr);
            return list;
        };
    }
    RegisterComponentClass(c);
}
