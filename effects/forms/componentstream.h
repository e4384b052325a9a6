#pragma once
// Component streams: the non-visual components of a form written as JSON and
// read back, through their Q_PROPERTYs and the component class registry.
//
//   { "format": "lux-components", "components": [
//       { "class": "TluxAnimationList", "name": "luxAnimationList1",
//         "properties": { "Version": "3.02" },
//         "children": [ { "class": "TluxAnimation", "name": "luxAnimation1",
//                         "properties": { "Effect": "[ RANDOM ] - Random selection" } } ] },
//       { "class": "TluxAnimationForm", "name": "luxAnimationForm1",
//         "properties": { "Mask": null, "MaskColor": 0, "MaskMode": "mmExclude",
//                         "ShowAnimation": "luxAnimation1", "Version": "3.02" } } ] }
//
// A property is written when it is readable and writable (or a collection),
// its STORED attribute is true and the class's isStored (when it has one)
// agrees. Values: booleans, numbers and strings as JSON; enumerations by
// their key; pictures (QImage) as base64 PNG, null when empty; a pointer to a
// component as that component's name (null when none), resolved once the
// whole stream has been read; a pointer to a collection (a class with the
// class info "ItemClass" and the invokable methods Count, GetItem, Clear and
// Add) as an array of its items' properties. Components that a parent writes
// through GetChildren are nested in its "children".
//
// Reading checks the whole stream before it creates anything: a malformed
// text, an unknown class or property, a value of the wrong type or out of
// range, a picture that is not a sane PNG, a duplicate name or a reference to
// no component of a fitting class is refused with a message naming the place
// ("components[0].children[1].properties.Time: ..."), and nothing is created.
// A "Version" property is accepted with any value and ignored.

#include "effects/forms/componentstreamlimits.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

// Writes Owner's components: its children of registered classes that are
// not written inside a parent, each followed by its nested children.
QByteArray WriteComponentStream(QObject* Owner);
// Writes the given components (and their nested children) in this order.
QByteArray WriteComponents(const QList<QObject*>& Components);

struct ComponentStreamResult {
    bool ok = false;
    QString error;              // empty when ok
    QList<QObject*> components; // every component created, in creation order
};

// Reads a stream into components owned by Owner (may be null): creates them,
// sets their properties, puts nested ones into their parents, resolves the
// references (to components of the stream or to Owner's named children), and
// finally calls Loaded on every created component that has it.
ComponentStreamResult ReadComponentStream(const QByteArray& Data, QObject* Owner);
