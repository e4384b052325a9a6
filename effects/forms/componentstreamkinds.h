#pragma once
// What a property holds, as far as a component stream is concerned: shared by
// the stream's writer, its checks and its building.

#include <QLatin1String>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>
#include <QObject>

namespace luxstream {

inline const QLatin1String formatName("lux-components");

enum class Kind { Unsupported, Bool, Int, UInt, LongLong, Double, String, Bytes, Image, Enum, Reference, Collection };

// The method of that normalized signature, or an invalid one.
QMetaMethod findMethod(const QMetaObject* mo, const char* signature);
// The item class of a collection class (what its Add returns), or null when
// the class is not a collection a stream can fill.
const QMetaObject* collectionItemClass(const QMetaObject* mo);
Kind kindOf(const QMetaProperty& p);
// Whether a stream carries the property at all (STORED aside).
bool streamable(const QMetaProperty& p, Kind k);
// Calls m on target and returns the object it returns.
QObject* invokeForObject(QObject* target, const QMetaMethod& m, QGenericArgument arg = QGenericArgument());
// The collection's Count().
int collectionCount(QObject* collection);

} // namespace luxstream
