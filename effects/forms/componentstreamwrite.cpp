// Writing a component stream.

#include "effects/forms/componentstream.h"
#include "effects/forms/componentregistry.h"
#include "effects/forms/componentstreamkinds.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>

#include <cmath>

using namespace luxstream;

namespace {

QJsonValue imageToJson(const QImage& image)
{
    if (image.isNull())
        return QJsonValue::Null;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return QJsonValue::Null;
    return QString::fromLatin1(png.toBase64());
}

QJsonObject writeProperties(const QObject* object, const ComponentClass* cls);

QJsonValue writeValue(const QObject* object, const QMetaProperty& p, Kind k)
{
    const QVariant v = p.read(object);
    switch (k) {
    case Kind::Bool: return v.toBool();
    case Kind::Int: return v.toInt();
    case Kind::UInt: return qint64(v.toUInt());
    case Kind::LongLong: return v.toLongLong();
    case Kind::Double: return std::isfinite(v.toDouble()) ? QJsonValue(v.toDouble()) : QJsonValue(QJsonValue::Null);
    case Kind::String: return v.toString();
    case Kind::Bytes: return QString::fromLatin1(v.toByteArray().toBase64());
    case Kind::Image: return imageToJson(v.value<QImage>());
    case Kind::Enum: {
        const QMetaEnum e = p.enumerator();
        const int value = int(v.toLongLong());
        const QByteArray key = e.isFlag() ? e.valueToKeys(value) : QByteArray(e.valueToKey(value));
        return key.isEmpty() ? QJsonValue(value) : QJsonValue(QString::fromLatin1(key));
    }
    case Kind::Reference: {
        const QObject* target = v.value<QObject*>();
        return target && !target->objectName().isEmpty() ? QJsonValue(target->objectName()) : QJsonValue(QJsonValue::Null);
    }
    case Kind::Collection: {
        QJsonArray items;
        QObject* collection = v.value<QObject*>();
        if (!collection)
            return items;
        const QMetaMethod getItem = findMethod(collection->metaObject(), "GetItem(int)");
        const int n = collectionCount(collection);
        for (int i = 0; i < n; ++i) {
            if (const QObject* item = invokeForObject(collection, getItem, Q_ARG(int, i)))
                items.append(writeProperties(item, nullptr));
        }
        return items;
    }
    case Kind::Unsupported: break;
    }
    return QJsonValue::Null;
}

QJsonObject writeProperties(const QObject* object, const ComponentClass* cls)
{
    QJsonObject properties;
    const QMetaObject* mo = object->metaObject();
    for (int i = 0; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        const Kind k = kindOf(p);
        if (!streamable(p, k) || !p.isStored())
            continue;
        const QString name = QString::fromLatin1(p.name());
        if (cls && cls->isStored && !cls->isStored(object, name))
            continue;
        properties.insert(name, writeValue(object, p, k));
    }
    return properties;
}

QJsonObject writeComponent(QObject* component, const ComponentClass* cls, int depth)
{
    QJsonObject json;
    json.insert(QLatin1String("class"), cls->name);
    if (!component->objectName().isEmpty())
        json.insert(QLatin1String("name"), component->objectName());
    json.insert(QLatin1String("properties"), writeProperties(component, cls));
    if (cls->children && depth < maxStreamNesting) {
        QJsonArray children;
        for (QObject* child : cls->children(component)) {
            if (const ComponentClass* childClass = ComponentClassOf(child))
                children.append(writeComponent(child, childClass, depth + 1));
        }
        if (!children.isEmpty())
            json.insert(QLatin1String("children"), children);
    }
    return json;
}

// Whether the component is written nested inside another one.
bool writtenInParent(const QObject* component, const ComponentClass* cls)
{
    if (cls->hasParent && !cls->hasParent(component))
        return false;
    if (!cls->parentComponent)
        return false;
    const ComponentClass* parentClass = ComponentClassOf(cls->parentComponent(component));
    return parentClass && parentClass->children;
}

} // namespace

QByteArray WriteComponents(const QList<QObject*>& Components)
{
    QJsonArray list;
    for (QObject* component : Components) {
        if (const ComponentClass* cls = ComponentClassOf(component))
            list.append(writeComponent(component, cls, 1));
    }
    QJsonObject root;
    root.insert(QLatin1String("format"), formatName);
    root.insert(QLatin1String("components"), list);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray WriteComponentStream(QObject* Owner)
{
    QList<QObject*> roots;
    if (Owner) {
        for (QObject* child : Owner->children()) {
            const ComponentClass* cls = ComponentClassOf(child);
            if (cls && !writtenInParent(child, cls))
                roots.append(child);
        }
    }
    return WriteComponents(roots);
}
