#include "effects/forms/componentstreamkinds.h"

namespace luxstream {

QMetaMethod findMethod(const QMetaObject* mo, const char* signature)
{
    const int i = mo->indexOfMethod(signature);
    return i >= 0 ? mo->method(i) : QMetaMethod();
}

const QMetaObject* collectionItemClass(const QMetaObject* mo)
{
    if (!mo || mo->indexOfClassInfo("ItemClass") < 0)
        return nullptr;
    const QMetaMethod add = findMethod(mo, "Add()");
    if (!add.isValid() || !findMethod(mo, "Clear()").isValid() || !findMethod(mo, "Count()").isValid()
        || !findMethod(mo, "GetItem(int)").isValid())
        return nullptr;
    const QMetaType t = add.returnMetaType();
    return (t.flags() & QMetaType::PointerToQObject) ? t.metaObject() : nullptr;
}

Kind kindOf(const QMetaProperty& p)
{
    if (p.isEnumType())
        return Kind::Enum;
    const QMetaType t = p.metaType();
    if (t.flags() & QMetaType::PointerToQObject) {
        if (t.metaObject() && t.metaObject()->indexOfClassInfo("ItemClass") >= 0)
            return collectionItemClass(t.metaObject()) ? Kind::Collection : Kind::Unsupported;
        return Kind::Reference;
    }
    switch (t.id()) {
    case QMetaType::Bool: return Kind::Bool;
    case QMetaType::Int: return Kind::Int;
    case QMetaType::UInt: return Kind::UInt;
    case QMetaType::LongLong: return Kind::LongLong;
    case QMetaType::Double: return Kind::Double;
    case QMetaType::QString: return Kind::String;
    case QMetaType::QByteArray: return Kind::Bytes;
    case QMetaType::QImage: return Kind::Image;
    default: return Kind::Unsupported;
    }
}

bool streamable(const QMetaProperty& p, Kind k)
{
    if (qstrcmp(p.name(), "objectName") == 0 || !p.isReadable() || k == Kind::Unsupported)
        return false;
    return k == Kind::Collection || p.isWritable();
}

QObject* invokeForObject(QObject* target, const QMetaMethod& m, QGenericArgument arg)
{
    QObject* result = nullptr;
    m.invoke(target, Qt::DirectConnection, QGenericReturnArgument(m.typeName(), &result), arg);
    return result;
}

int collectionCount(QObject* collection)
{
    int n = 0;
    QMetaObject::invokeMethod(collection, "Count", Qt::DirectConnection, Q_RETURN_ARG(int, n));
    return n;
}

} // namespace luxstream
