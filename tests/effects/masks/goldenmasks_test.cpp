// Checksums of every fade mask and slide grid for a few grid sizes and progress values, so a
// change that alters an effect's output does not go unnoticed.
//
// To regenerate data/effect_checksums.txt after an intended change, run this test with
// LUX_UPDATE_GOLDEN=1 in the environment; it then rewrites the file and passes.

#include "effects/bitmap/dispatch.h"
#include "tests/effects/engine/enginetestsupport.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace enginetest;

namespace {

struct Case {
    int w, h, p;
};
const Case cases[] = {{1, 1, 50}, {2, 3, 100}, {7, 5, 37}, {47, 33, 25}, {47, 33, 50},
                      {47, 33, 75}, {120, 40, 63}, {40, 120, 81}, {321, 181, 99}, {1921, 1081, 40}};

QString goldenPath()
{
    return luxtest::dataDir() + QStringLiteral("/effect_checksums.txt");
}

// "name<TAB>W<TAB>H<TAB>P" -> checksum of the effect's output.
std::map<std::string, uint64_t> currentChecksums()
{
    std::map<std::string, uint64_t> out;
    for (const BuiltinEffect& e : builtinEffects()) {
        if (e.Kind == pkManual)
            continue;
        for (const Case& c : cases) {
            uint64_t sum;
            if (e.Kind == pkFade) {
                const auto mask = fadeMask(fadeOf(e), c.w, c.h, c.p);
                sum = checksum(mask.data(), mask.size());
            } else {
                const auto cells = slideCells(slideOf(e), c.w, c.h, c.p);
                sum = checksum(cells.data(), cells.size() * sizeof(TluxCell));
            }
            out[std::string(e.Name) + "\t" + std::to_string(c.w) + "\t" + std::to_string(c.h) + "\t"
                + std::to_string(c.p)] = sum;
        }
    }
    return out;
}

} // namespace


TEST(GoldenMasks, EveryEffectProducesItsRecordedOutput)
{
    const auto current = currentChecksums();
    ASSERT_EQ(current.size(), 56u * std::size(cases));

    if (qEnvironmentVariableIsSet("LUX_UPDATE_GOLDEN")) {
        QFile file(goldenPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
        QTextStream out(&file);
        out << "# effect\tW\tH\tP\tFNV-1a 64 of the mask bytes (or of the 6-byte cell records)\n";
        for (const auto& [key, sum] : current)
            out << QString::fromStdString(key) << '\t' << QString::number(sum, 16) << '\n';
        return;
    }

    QFile file(goldenPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << goldenPath().toStdString();
    std::map<std::string, uint64_t> recorded;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.lastIndexOf(u'\t');
        recorded[line.left(tab).toStdString()] = line.mid(tab + 1).toULongLong(nullptr, 16);
    }
    EXPECT_EQ(recorded.size(), current.size());
    // At every level the dispatch table can take, with nothing kept from the level before.
    for (const SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Avx2}) {
        if (!rebuildDispatch(level))
            continue;
        for (const BuiltinEffect& e : builtinEffects())
            if (e.ReleaseCaches)
                e.ReleaseCaches();
        for (const auto& [key, sum] : currentChecksums()) {
            const auto it = recorded.find(key);
            ASSERT_NE(it, recorded.end()) << "no recorded checksum for " << key;
            EXPECT_EQ(sum, it->second) << "output changed for " << key << " at level " << int(level);
        }
    }
    rebuildDispatch(bestSimdLevel());
}
