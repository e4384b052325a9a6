// Reading a component stream, first step: the whole stream checked and turned
// into a plan; no component exists yet.

#include "effects/forms/componentstreamlimits.h"
#include "effects/forms/componentstreamplan.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace luxstream {
namespace {

const QLatin1String versionProperty("Version");

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

} // namespace

bool checkComponentStream(const QByteArray& data, QObject* owner, std::vector<PlannedComponent>& plan,
                          QString& error)
{
    StreamChecker checker(owner);
    if (checker.check(data, plan))
        return true;
    error = checker.error;
    return false;
}

} // namespace luxstream
