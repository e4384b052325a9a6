// Animation settings: defaults, clamping setters, Assign, what a form stream stores, and the
// stopwatch's arithmetic.

#include "effects/engine/luxanimationrec.h"
#include "effects/engine/luxtimer.h"

#include "effects/engine/effectregistry.h"

#include <QMetaObject>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

TEST(AnimationRec, DefaultsAndClampingSetters)
{
    TluxAnimationRec rec;
    EXPECT_FALSE(rec.Enabled);
    EXPECT_EQ(rec.Time, 400);
    EXPECT_EQ(rec.Resolution, 1);
    EXPECT_EQ(rec.TileCount, 1);
    EXPECT_EQ(rec.Effect, QLatin1String(luxRandomEffectName));
    EXPECT_EQ(rec.Rotation, krNone);
    EXPECT_TRUE(rec.Bitmap.isNull());

    rec.SetResolution(11);
    rec.SetTileCount(0);
    rec.SetTime(10);
    EXPECT_EQ(rec.Resolution, 10);
    EXPECT_EQ(rec.TileCount, 1);
    EXPECT_EQ(rec.Time, 50);
    rec.SetTime(20000);
    EXPECT_EQ(rec.Time, 9000);
    // Through the property system, as a form stream sets them.
    EXPECT_TRUE(rec.setProperty("TileCount", QVariant(21)));
    EXPECT_TRUE(rec.setProperty("Resolution", QVariant(-3)));
    EXPECT_EQ(rec.TileCount, 20);
    EXPECT_EQ(rec.Resolution, 1);
}

TEST(AnimationRec, AssignCopiesEverythingAsItIs)
{
    TluxAnimationRec from, to;
    from.Enabled = true;
    from.Time = 5; // out of range on purpose: Assign does not check
    from.Resolution = 0;
    from.TileCount = 99;
    from.Effect = QStringLiteral("Fade");
    from.Rotation = krRotate270;
    QImage map(2, 2, QImage::Format_RGB32);
    map.fill(Qt::red);
    from.SetBitmap(map);
    to.Assign(&from);
    EXPECT_TRUE(to.Enabled);
    EXPECT_EQ(to.Time, 5);
    EXPECT_EQ(to.Resolution, 0);
    EXPECT_EQ(to.TileCount, 99);
    EXPECT_EQ(to.Effect, QLatin1String("Fade"));
    EXPECT_EQ(to.Rotation, krRotate270);
    from.Bitmap.fill(Qt::blue); // the copy holds its own pixels
    EXPECT_EQ(to.Bitmap.pixel(0, 0), QColor(Qt::red).rgb());
}

TEST(AnimationRec, StreamStoresOnlyWhatDiffersFromTheDefaults)
{
    std::unique_ptr<QObject> made(TluxAnimationRec::staticMetaObject.newInstance(Q_ARG(QObject*, nullptr)));
    auto* rec = qobject_cast<TluxAnimationRec*>(made.get());
    ASSERT_NE(rec, nullptr); // created by class name, as a component stream does
    const auto stored = [&](const char* name) {
        bool result = false;
        QMetaObject::invokeMethod(rec, "isStored", Q_RETURN_ARG(bool, result), Q_ARG(QString, QString::fromLatin1(name)));
        return result;
    };
    for (const char* name : {"Enabled", "Time", "Resolution", "TileCount", "Rotation", "Bitmap"})
        EXPECT_FALSE(stored(name)) << name;
    EXPECT_TRUE(stored("Effect"));
    rec->Enabled = true;
    rec->SetTime(401);
    rec->SetResolution(2);
    rec->SetTileCount(3);
    rec->Rotation = krRotate90;
    rec->SetBitmap(QImage(1, 1, QImage::Format_RGB32));
    rec->Effect.clear();
    for (const char* name : {"Enabled", "Time", "Resolution", "TileCount", "Rotation", "Bitmap"})
        EXPECT_TRUE(stored(name)) << name;
    EXPECT_TRUE(stored("Effect")) << "an empty effect is kept, not replaced by the default on reading";
}

namespace {
int64_t counter = 0;
int64_t nextRead()
{
    return counter += 3; // every read costs 3 ticks
}
int64_t thousandPerSecond()
{
    return 1000;
}
} // namespace

TEST(LuxTimer, ElapsedSubtractsTheReadOverhead)
{
    const LuxCounterSource previous = setLuxCounterSource(LuxCounterSource{nextRead, thousandPerSecond});
    TluxTimer* timer = nullptr;
    EXPECT_EQ(StopTimer(timer), 0.0f);
    StartTimer(timer);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Overhead, 3);
    EXPECT_EQ(timer->Frequency, 1000);
    counter += 250; // a quarter second passes
    EXPECT_FLOAT_EQ(StopTimer(timer), 0.250f); // (253 + 3 - 3) ticks between reads, less the overhead
    delete timer;
    setLuxCounterSource(previous);
}
