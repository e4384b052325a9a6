#pragma once
// The animation settings: which effect, how long, at what mask resolution and tiling, turned how.

#include "effects/engine/effecttypes.h"

#include <QImage>
#include <QObject>
#include <QString>

class TluxAnimationRec : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled MEMBER Enabled)
    Q_PROPERTY(int Time READ time WRITE SetTime)
    Q_PROPERTY(int Resolution READ resolution WRITE SetResolution)
    Q_PROPERTY(int TileCount READ tileCount WRITE SetTileCount)
    Q_PROPERTY(QString Effect MEMBER Effect)
    Q_PROPERTY(int Rotation READ rotation WRITE setRotation)
    Q_PROPERTY(QImage Bitmap READ bitmap WRITE SetBitmap)

public:
    static constexpr int defaultTime = 400;
    static constexpr int minTime = 50;
    static constexpr int maxTime = 9000;
    static constexpr int maxResolution = 10;
    static constexpr int maxTileCount = 20;

    Q_INVOKABLE explicit TluxAnimationRec(QObject* owner = nullptr);

    // Copies every setting as it is (no range checks), the bitmap by content.
    void Assign(const TluxAnimationRec* Source);

    // Each stores a changed value, then keeps it within its range.
    void SetTime(int Value);
    void SetResolution(int Value);
    void SetTileCount(int Value);
    void SetBitmap(const QImage& Value) { Bitmap = Value; }

    int time() const { return Time; }
    int resolution() const { return Resolution; }
    int tileCount() const { return TileCount; }
    int rotation() const { return Rotation; }
    void setRotation(int value) { Rotation = TluxRotation(value & 3); }
    const QImage& bitmap() const { return Bitmap; }

    bool Enabled = false;
    int Time = defaultTime;
    int Resolution = 1;
    int TileCount = 1;
    QString Effect;
    TluxRotation Rotation = krNone;
    QImage Bitmap; // grey-level map of the bitmap animation

    // Whether a form stream stores the property: Enabled, Resolution, Rotation, TileCount and
    // Time when they differ from their defaults, Effect always, Bitmap when not empty.
    // Invokable, so that a stream writer finds it through the meta-object (Qt 6 has no STORED
    // functions).
    Q_INVOKABLE bool isStored(const QString& property) const;
};
