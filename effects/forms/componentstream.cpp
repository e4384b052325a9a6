#include "effects/forms/componentstream.h"

#include "effects/forms/componentregistry.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QSet>

#include <cmath>
#include <limits>
#include <vector>

namespace {

const QLatin1String formatName("lux-components");
const QLatin1String versionProperty("Version");

// ---------------------------------------------------------------------------
// What a property holds, as far as a stream is concerned.

enum class Kind { Unsupported, Bool, Int, UInt, LongLong, Double, String, Bytes, Image, Enum, Reference, Collection };

QMetaMethod findMethod(const QMetaObject* mo, const char* signature)
{
    const int i = mo->indexOfMethod(signature);
    return i >= 0 ? mo->method(i) : QMetaMethod();
}

// The item class of a collection class (what its Add returns), or null when
// the class is not a collection a stream can fill.
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

// Whether a stream carries the property at all (STORED aside).
bool streamable(const QMetaProperty& p, Kind k)
{
    if (qstrcmp(p.name(), "objectName") == 0 || !p.isReadable() || k == Kind::Unsupported)
        return false;
    return k == Kind::Collection || p.isWritable();
}

QObject* invokeForObject(QObject* target, const QMetaMethod& m, QGenericArgument arg = QGenericArgument())
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

// ---------------------------------------------------------------------------
// Writing.

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

// ---------------------------------------------------------------------------
// Reading, first step: the whole stream checked and turned into a plan; no
// component exists yet.

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

QObject* ownerChildNamed(QObject* owner, const QString& name)
{
    if (!owner)
        return nullptr;
    for (QObject* child : owner->children()) {
        if (child->objectName() == name)
            return child;
    }
    return nullptr;
}

class StreamChecker {
public:
    explicit StreamChecker(QObject* owner) : m_owner(owner) {}

    bool check(const QByteArray& data, std::vector<PlannedComponent>& plan);
    QString error;

private:
    bool fail(const QString& path, const QString& what)
    {
        error = path.isEmpty() ? what : path + QLatin1String(": ") + what;
        return false;
    }
    bool checkComponent(const QJsonValue& json, const QString& path, int depth, const ComponentClass* parent,
                        PlannedComponent& out);
    bool checkProperties(const QJsonValue& json, const QMetaObject* mo, const QString& path, int depth,
                         PlannedProperties& out);
    bool checkValue(const QJsonValue& json, const QMetaProperty& p, Kind k, const QString& path, int depth,
                    PlannedProperty& out);
    bool checkImage(const QJsonValue& json, const QString& path, QVariant& out);
    bool checkReferences();

    struct PendingReference {
        QString path;
        QString name;
        const QMetaObject* target;
    };

    QObject* m_owner;
    QHash<QString, const QMetaObject*> m_names;
    std::vector<PendingReference> m_references;
    int m_components = 0;
    qint64 m_pixels = 0;
};

QString describe(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Bool: return QStringLiteral("a boolean");
    case QJsonValue::Double: return QStringLiteral("a number");
    case QJsonValue::String: return QStringLiteral("a string");
    case QJsonValue::Array: return QStringLiteral("an array");
    case QJsonValue::Object: return QStringLiteral("an object");
    case QJsonValue::Undefined: break;
    }
    return QStringLiteral("nothing");
}

bool StreamChecker::check(const QByteArray& data, std::vector<PlannedComponent>& plan)
{
    if (data.size() > maxComponentStreamBytes)
        return fail(QString(), QStringLiteral("stream of %1 bytes is larger than %2").arg(data.size()).arg(maxComponentStreamBytes));
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(QString(), QStringLiteral("malformed JSON at offset %1: %2").arg(parseError.offset).arg(parseError.errorString()));
    if (!doc.isObject())
        return fail(QString(), QStringLiteral("the stream is not a JSON object"));
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (it.key() != QLatin1String("format") && it.key() != QLatin1String("components"))
            return fail(it.key(), QStringLiteral("unknown entry"));
    }
    if (root.value(QLatin1String("format")).toString() != formatName)
        return fail(QStringLiteral("format"), QStringLiteral("expected \"%1\"").arg(formatName));
    const QJsonValue components = root.value(QLatin1String("components"));
    if (!components.isArray())
        return fail(QStringLiteral("components"), QStringLiteral("expected an array, found %1").arg(describe(components)));
    const QJsonArray list = components.toArray();
    plan.resize(size_t(list.size()));
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!checkComponent(list.at(i), QStringLiteral("components[%1]").arg(i), 1, nullptr, plan[size_t(i)]))
            return false;
    }
    return checkReferences();
}

bool StreamChecker::checkComponent(const QJsonValue& json, const QString& path, int depth,
                                   const ComponentClass* parent, PlannedComponent& out)
{
    if (depth > maxStreamNesting)
        return fail(path, QStringLiteral("nested deeper than %1 levels").arg(maxStreamNesting));
    if (++m_components > maxStreamComponents)
        return fail(path, QStringLiteral("more than %1 components").arg(maxStreamComponents));
    if (!json.isObject())
        return fail(path, QStringLiteral("expected a component object, found %1").arg(describe(json)));
    const QJsonObject object = json.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = it.key();
        if (key != QLatin1String("class") && key != QLatin1String("name") && key != QLatin1String("properties")
            && key != QLatin1String("children"))
            return fail(path + QLatin1Char('.') + key, QStringLiteral("unknown entry"));
    }

    const QJsonValue className = object.value(QLatin1String("class"));
    if (!className.isString())
        return fail(path + QLatin1String(".class"), QStringLiteral("expected a class name, found %1").arg(describe(className)));
    out.cls = FindComponentClass(className.toString());
    if (!out.cls)
        return fail(path + QLatin1String(".class"), QStringLiteral("unknown class \"%1\"").arg(className.toString()));
    if (parent && !out.cls->setParentComponent)
        return fail(path, QStringLiteral("a %1 cannot be placed inside a %2").arg(out.cls->name, parent->name));

    const QJsonValue name = object.value(QLatin1String("name"));
    if (!name.isUndefined()) {
        static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,254}$"));
        if (!name.isString() || !identifier.match(name.toString()).hasMatch())
            return fail(path + QLatin1String(".name"), QStringLiteral("expected a component name (letters, digits, underscores)"));
        out.name = name.toString();
        if (m_names.contains(out.name))
            return fail(path + QLatin1String(".name"), QStringLiteral("a component named \"%1\" is already in the stream").arg(out.name));
        if (ownerChildNamed(m_owner, out.name))
            return fail(path + QLatin1String(".name"), QStringLiteral("a component named \"%1\" already exists").arg(out.name));
        m_names.insert(out.name, out.cls->metaObject);
    }

    const QJsonValue properties = object.value(QLatin1String("properties"));
    if (!properties.isUndefined()
        && !checkProperties(properties, out.cls->metaObject, path + QLatin1String(".properties"), depth, out.properties))
        return false;

    const QJsonValue children = object.value(QLatin1String("children"));
    if (children.isUndefined())
        return true;
    if (!children.isArray())
        return fail(path + QLatin1String(".children"), QStringLiteral("expected an array, found %1").arg(describe(children)));
    const QJsonArray list = children.toArray();
    if (list.size() > maxStreamComponents)
        return fail(path + QLatin1String(".children"), QStringLiteral("more than %1 components").arg(maxStreamComponents));
    out.children.resize(size_t(list.size()));
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!checkComponent(list.at(i), path + QStringLiteral(".children[%1]").arg(i), depth + 1, out.cls,
                            out.children[size_t(i)]))
            return false;
    }
    return true;
}

bool StreamChecker::checkProperties(const QJsonValue& json, const QMetaObject* mo, const QString& path, int depth,
                                    PlannedProperties& out)
{
    if (!json.isObject())
        return fail(path, QStringLiteral("expected an object of properties, found %1").arg(describe(json)));
    const QJsonObject object = json.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const int index = mo->indexOfProperty(it.key().toLatin1().constData());
        if (index < 0 || !streamable(mo->property(index), kindOf(mo->property(index))))
            return fail(path + QLatin1Char('.') + it.key(), QStringLiteral("%1 has no property of that name").arg(QString::fromLatin1(mo->className())));
    }
    // In declaration order, so that a class sees its properties set as it declares them.
    for (int i = 0; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        const QString key = QString::fromLatin1(p.name());
        const QJsonValue value = object.value(key);
        if (value.isUndefined() || key == versionProperty)
            continue; // a Version is written for the reader's information only
        PlannedProperty planned;
        planned.property = p;
        planned.kind = kindOf(p);
        if (!checkValue(value, p, planned.kind, path + QLatin1Char('.') + key, depth, planned))
            return false;
        out.push_back(std::move(planned));
    }
    return true;
}

bool integral(const QJsonValue& v, double low, double high, qint64& out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (d != std::trunc(d) || d < low || d > high)
        return false;
    out = v.toInteger(qint64(d));
    return true;
}

bool StreamChecker::checkValue(const QJsonValue& json, const QMetaProperty& p, Kind k, const QString& path,
                               int depth, PlannedProperty& out)
{
    qint64 n = 0;
    switch (k) {
    case Kind::Bool:
        if (!json.isBool())
            return fail(path, QStringLiteral("expected a boolean, found %1").arg(describe(json)));
        out.value = json.toBool();
        return true;
    case Kind::Int:
        if (!integral(json, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), n))
            return fail(path, QStringLiteral("expected a 32-bit integer, found %1").arg(describe(json)));
        out.value = int(n);
        return true;
    case Kind::UInt:
        if (!integral(json, 0, std::numeric_limits<unsigned>::max(), n))
            return fail(path, QStringLiteral("expected an unsigned 32-bit integer, found %1").arg(describe(json)));
        out.value = unsigned(n);
        return true;
    case Kind::LongLong:
        if (!integral(json, -9007199254740992.0, 9007199254740992.0, n))
            return fail(path, QStringLiteral("expected an integer, found %1").arg(describe(json)));
        out.value = n;
        return true;
    case Kind::Double:
        if (!json.isDouble())
            return fail(path, QStringLiteral("expected a number, found %1").arg(describe(json)));
        out.value = json.toDouble();
        return true;
    case Kind::String:
        if (!json.isString())
            return fail(path, QStringLiteral("expected a string, found %1").arg(describe(json)));
        out.value = json.toString();
        return true;
    case Kind::Bytes: {
        if (!json.isString())
            return fail(path, QStringLiteral("expected base64 text, found %1").arg(describe(json)));
        auto decoded = QByteArray::fromBase64Encoding(json.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return fail(path, QStringLiteral("not valid base64 text"));
        out.value = *decoded;
        return true;
    }
    case Kind::Image:
        return checkImage(json, path, out.value);
    case Kind::Enum: {
        const QMetaEnum e = p.enumerator();
        bool ok = false;
        int value = 0;
        if (json.isString()) {
            const QByteArray key = json.toString().toLatin1();
            value = e.isFlag() ? e.keysToValue(key.constData(), &ok) : e.keyToValue(key.constData(), &ok);
        } else if (integral(json, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), n)) {
            value = int(n);
            ok = e.isFlag() ? !e.valueToKeys(value).isEmpty() : e.valueToKey(value) != nullptr;
        }
        if (!ok)
            return fail(path, QStringLiteral("expected one of the %1 names").arg(QString::fromLatin1(e.name())));
        out.value = value;
        return true;
    }
    case Kind::Reference:
        if (json.isNull())
            return true;
        if (!json.isString() || json.toString().isEmpty())
            return fail(path, QStringLiteral("expected a component name or null, found %1").arg(describe(json)));
        out.reference = json.toString();
        m_references.push_back({path, out.reference, p.metaType().metaObject()});
        return true;
    case Kind::Collection: {
        if (!json.isArray())
            return fail(path, QStringLiteral("expected an array of items, found %1").arg(describe(json)));
        if (depth + 1 > maxStreamNesting)
            return fail(path, QStringLiteral("nested deeper than %1 levels").arg(maxStreamNesting));
        const QJsonArray items = json.toArray();
        if (items.size() > maxCollectionItems)
            return fail(path, QStringLiteral("more than %1 items").arg(maxCollectionItems));
        const QMetaObject* itemClass = collectionItemClass(p.metaType().metaObject());
        out.items.resize(size_t(items.size()));
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (!checkProperties(items.at(i), itemClass, path + QStringLiteral("[%1]").arg(i), depth + 1, out.items[size_t(i)]))
                return false;
        }
        return true;
    }
    case Kind::Unsupported: break;
    }
    return fail(path, QStringLiteral("property of a type a stream cannot hold"));
}

bool StreamChecker::checkImage(const QJsonValue& json, const QString& path, QVariant& out)
{
    if (json.isNull()) {
        out = QImage();
        return true;
    }
    if (!json.isString())
        return fail(path, QStringLiteral("expected base64 PNG data or null, found %1").arg(describe(json)));
    auto decoded = QByteArray::fromBase64Encoding(json.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return fail(path, QStringLiteral("not valid base64 text"));
    QByteArray png = *decoded;
    if (!png.startsWith("\x89PNG\r\n\x1a\n"))
        return fail(path, QStringLiteral("not PNG data"));
    QBuffer buffer(&png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (size.width() <= 0 || size.height() <= 0)
        return fail(path, QStringLiteral("PNG data without a picture size"));
    const qint64 pixels = qint64(size.width()) * size.height();
    if (size.width() > maxStreamPictureSide || size.height() > maxStreamPictureSide || pixels > maxStreamPicturePixels
        || m_pixels + pixels > maxStreamPicturePixels)
        return fail(path, QStringLiteral("picture of %1 x %2 pixels is too large").arg(size.width()).arg(size.height()));
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return fail(path, QStringLiteral("unreadable PNG data: %1").arg(reader.errorString()));
    m_pixels += pixels;
    out = image;
    return true;
}

bool StreamChecker::checkReferences()
{
    for (const PendingReference& ref : m_references) {
        const QMetaObject* mo = m_names.value(ref.name);
        if (!mo) {
            if (QObject* existing = ownerChildNamed(m_owner, ref.name))
                mo = existing->metaObject();
        }
        if (!mo)
            return fail(ref.path, QStringLiteral("no component named \"%1\"").arg(ref.name));
        if (ref.target && !mo->inherits(ref.target))
            return fail(ref.path, QStringLiteral("\"%1\" is a %2, not a %3")
                                      .arg(ref.name, QString::fromLatin1(mo->className()), QString::fromLatin1(ref.target->className())));
    }
    return true;
}

// ---------------------------------------------------------------------------
// Reading, second step: the checked plan made into components.

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

ComponentStreamResult ReadComponentStream(const QByteArray& Data, QObject* Owner)
{
    ComponentStreamResult result;
    std::vector<PlannedComponent> plan;
    StreamChecker checker(Owner);
    if (!checker.check(Data, plan)) {
        result.error = checker.error;
        return result;
    }
    StreamBuilder builder(Owner);
    for (const PlannedComponent& component : plan)
        builder.build(component, nullptr);
    builder.resolveReferences();
    for (QObject* component : builder.created) {
        if (const ComponentClass* cls = ComponentClassOf(component); cls && cls->loaded)
            cls->loaded(component);
    }
    result.ok = true;
    result.components = builder.created;
    return result;
}
