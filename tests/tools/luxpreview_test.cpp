// Runs the lux-preview program and checks the formats other tools read.

#include "tests/effects/engine/enginetestsupport.h"
#include "tests/support/testsupport.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

struct PreviewRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

QString programPath()
{
    return QStringLiteral(LUX_BINARY_DIR "/tools/lux-preview/lux-preview");
}

PreviewRun preview(const QStringList& args)
{
    QProcess p;
    p.start(programPath(), args);
    PreviewRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

class LuxPreview : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(programPath()))
            GTEST_SKIP() << "lux-preview is not built";
        ensureRegistry();
    }
};

} // namespace

TEST_F(LuxPreview, ListPrintsTheSixtyNamesAndTheCommaText)
{
    const PreviewRun list = preview({QStringLiteral("list")});
    ASSERT_EQ(list.status, 0);
    QStringList lines = QString::fromUtf8(list.out).split(u'\n');
    ASSERT_EQ(lines.takeLast(), QString());
    EXPECT_EQ(lines, *GetEffectList());

    const PreviewRun comma = preview({QStringLiteral("list"), QStringLiteral("--comma")});
    ASSERT_EQ(comma.status, 0);
    EXPECT_EQ(QString::fromUtf8(comma.out), GetEffectListComma() + u'\n');
}

TEST_F(LuxPreview, MaskIsABinaryPgmOfTheFadeProcedure)
{
    for (const char* name : {"[ FADE ] - CircleSmooth", "circlesmooth", "PIXEL LINE"}) {
        const PreviewRun r = preview({QStringLiteral("mask"), QString::fromLatin1(name), QStringLiteral("31"),
                               QStringLiteral("17"), QStringLiteral("45")});
        ASSERT_EQ(r.status, 0) << name << r.err.toStdString();
        const QByteArray header = "P5\n31 17\n255\n";
        ASSERT_TRUE(r.out.startsWith(header));
        const TluxProcItem* item = ProcList->GetProcs(QString::fromLatin1(name));
        const auto mask = fadeMask(item->fadeProc(), 31, 17, 45);
        EXPECT_EQ(r.out.mid(header.size()), QByteArray(reinterpret_cast<const char*>(mask.data()), qsizetype(mask.size())));
    }
}

TEST_F(LuxPreview, MaskPngIsTheSameMaskAsAnImage)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("m.png"));
    const PreviewRun r = preview({QStringLiteral("mask"), QStringLiteral("Plasma"), QStringLiteral("40"),
                           QStringLiteral("30"), QStringLiteral("60"), QStringLiteral("--png"), file});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage image(file);
    ASSERT_EQ(image.size(), QSize(40, 30));
    const auto mask = fadeMask(ProcList->GetProcs(QStringLiteral("Plasma"))->fadeProc(), 40, 30, 60);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(qGray(image.pixel(x, y)), mask[size_t(y) * 40 + x]);
}

TEST_F(LuxPreview, CellsAreSixByteLittleEndianRecords)
{
    const PreviewRun r = preview({QStringLiteral("cells"), QStringLiteral("interlace"), QStringLiteral("5"),
                           QStringLiteral("2"), QStringLiteral("40")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), 5 * 2 * 6);
    const auto* b = reinterpret_cast<const uint8_t*>(r.out.constData());
    // Row 1 (odd), x = 0: source x = 0 - MulDiv(60, 5, 100) = -3 -> 0xFFFD.
    const uint8_t* rec = b + 5 * 6;
    EXPECT_EQ(rec[0], 255);
    EXPECT_EQ(rec[1], 0);
    EXPECT_EQ(rec[2], 0xFD);
    EXPECT_EQ(rec[3], 0xFF);
    EXPECT_EQ(rec[4], 1);
    EXPECT_EQ(rec[5], 0);
}

TEST_F(LuxPreview, WrongKindsNamesAndNumbersExitWithStatusTwoAndOneLine)
{
    const QList<QStringList> bad = {
        {},
        {QStringLiteral("bogus")},
        {QStringLiteral("list"), QStringLiteral("--nope")},
        {QStringLiteral("mask"), QStringLiteral("Interlace"), QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("50")},
        {QStringLiteral("mask"), QStringLiteral("Push"), QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("50")},
        {QStringLiteral("cells"), QStringLiteral("Fade"), QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("50")},
        {QStringLiteral("mask"), QStringLiteral("No such"), QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("50")},
        {QStringLiteral("mask"), QStringLiteral("[ RANDOM ] - Random selection"), QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("50")},
        {QStringLiteral("mask"), QStringLiteral("Fade"), QStringLiteral("0"), QStringLiteral("4"), QStringLiteral("50")},
        {QStringLiteral("mask"), QStringLiteral("Fade"), QStringLiteral("4"), QStringLiteral("-1"), QStringLiteral("50")},
        {QStringLiteral("mask"), QStringLiteral("Fade"), QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("101")},
        {QStringLiteral("mask"), QStringLiteral("Fade"), QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("5x")},
        {QStringLiteral("mask"), QStringLiteral("Fade"), QStringLiteral("4"), QStringLiteral("4")},
        {QStringLiteral("mask"), QStringLiteral("Fade"), QStringLiteral("30000"), QStringLiteral("30000"), QStringLiteral("5")},
    };
    for (const QStringList& args : bad) {
        const PreviewRun r = preview(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(u' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

TEST_F(LuxPreview, HelpListsEveryCommandWithItsOptionsAndValuesMayFollowAnEqualsSign)
{
    const struct {
        const char* command;
        QStringList options;
    } commands[] = {
        {"list", {"--comma"}},
        {"mask", {"--png <FILE>"}},
        {"cells", {}},
        {"frame", {"--from <A.png>", "--to <B.png>", "--effect <NAME>", "--progress <P>", "--resolution <R>",
                   "--tiles <T>", "--rotation <none|90|180|270>", "--bitmap <MAP.png>", "-o <OUT.png>"}},
        {"play", {"--from <A.png>", "--to <B.png>", "--effect <NAME>", "--time <MS>", "--resolution <R>",
                  "--tiles <T>", "--rotation <none|90|180|270>", "--bitmap <MAP.png>", "-o <DIR>"}},
    };
    const PreviewRun help = preview({QStringLiteral("--help")});
    ASSERT_EQ(help.status, 0);
    const QString all = QString::fromUtf8(help.out);
    for (const auto& entry : commands) {
        const QString name = QString::fromLatin1(entry.command);
        const qsizetype at = all.indexOf(QStringLiteral("\n  lux-preview ") + name);
        ASSERT_GE(at, 0) << entry.command;
        const QString listed = all.mid(at, all.indexOf(QStringLiteral("\n\n"), at) - at);
        const PreviewRun own = preview({name, QStringLiteral("--help")});
        EXPECT_EQ(own.status, 0) << entry.command;
        EXPECT_TRUE(own.out.startsWith("Usage: lux-preview " + name.toLatin1())) << entry.command;
        for (const QString& option : entry.options) {
            EXPECT_TRUE(listed.contains(QStringLiteral("\n      ") + option)) << entry.command << " " << option.toStdString();
            EXPECT_TRUE(own.out.contains("\n  " + option.toLatin1())) << entry.command << " " << option.toStdString();
        }
    }
    EXPECT_TRUE(preview({QStringLiteral("--version")}).out.startsWith("lux-preview 1."));

    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("m.png"));
    const PreviewRun equals =
        preview({QStringLiteral("mask"), QStringLiteral("--png=") + png, QStringLiteral("Fade"), QStringLiteral("3"),
                 QStringLiteral("2"), QStringLiteral("50")});
    EXPECT_EQ(equals.status, 0) << equals.err.toStdString();
    EXPECT_EQ(QImage(png).size(), QSize(3, 2));

    // Each refused with status 2 and one message that names the option.
    const QStringList frame{"frame", "--from=a.png", "--to=b.png", "--effect=Fade", "-o=f.png"};
    const struct {
        QStringList args;
        const char* named;
    } refused[] = {
        {frame + QStringList{"--progress=101"}, "--progress"},
        {frame + QStringList{"--progress=5", "--rotation=45"}, "--rotation"},
        {frame + QStringList{"--progress=5", "--tiles=many"}, "--tiles"},
        {frame + QStringList{"--progress=5", "--from=c.png"}, "--from"},
        {{"list", "--comma=yes"}, "--comma"},
        {{"mask", "Fade", "3", "2", "50", "--png"}, "--png"},
        {{"cells", "Push", "3", "2", "50", "--png=c.png"}, "--png"},
        {{"--verbose"}, "--verbose"},
    };
    for (const auto& entry : refused) {
        const PreviewRun r = preview(entry.args);
        EXPECT_EQ(r.status, 2) << entry.args.join(u' ').toStdString();
        EXPECT_EQ(r.err.count("lux-preview: "), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(entry.named)) << r.err.toStdString();
    }
}
