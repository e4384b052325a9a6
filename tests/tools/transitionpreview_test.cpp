// Runs lux-preview frame and play on small pictures and checks the pictures they write.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString programPath()
{
    return QStringLiteral(LUX_BINARY_DIR "/tools/lux-preview/lux-preview");
}

int preview(const QStringList& args, QByteArray* out = nullptr)
{
    QProcess p;
    p.start(programPath(), args);
    if (!p.waitForFinished(60000))
        return -1;
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitCode();
}

class TransitionPreview : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(programPath()))
            GTEST_SKIP() << "lux-preview is not built";
        ASSERT_TRUE(dir.isValid());
        QImage a(12, 8, QImage::Format_RGB32), b(16, 8, QImage::Format_RGB32);
        a.fill(qRgb(200, 10, 10));
        b.fill(qRgb(10, 10, 200));
        b.setPixel(3, 3, qRgb(0x7F, 0, 0x7F)); // key colour: stays old in fades
        ASSERT_TRUE(a.save(path("a.png")));
        ASSERT_TRUE(b.save(path("b.png")));
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(TransitionPreview, FrameAtTheEndShowsTheNewPictureWhereItIsNotSeeThrough)
{
    ASSERT_EQ(preview({"frame", "--from", path("a.png"), "--to", path("b.png"), "--effect", "Fade", "--progress",
                       "100", "-o", path("f.png")}),
              0);
    const QImage f(path("f.png"));
    ASSERT_EQ(f.size(), QSize(12, 8)); // the frame follows the old picture's size
    EXPECT_EQ(f.pixel(0, 0) & 0xFFFFFF, 0x0A0AC8u);
    EXPECT_EQ(f.pixel(3, 3) & 0xFFFFFF, 0xC80A0Au);
    ASSERT_EQ(preview({"frame", "--from", path("a.png"), "--to", path("b.png"), "--effect", "Fade", "--progress",
                       "0", "--rotation", "180", "--tiles", "3", "--resolution", "2", "-o", path("g.png")}),
              0);
    EXPECT_EQ(QImage(path("g.png")).pixel(5, 5) & 0xFFFFFF, 0xC80A0Au);
}

TEST_F(TransitionPreview, PlayWritesEveryFrameAndAContactSheet)
{
    QByteArray out;
    ASSERT_EQ(preview({"play", "--from", path("a.png"), "--to", path("b.png"), "--effect", "SlideDown", "--time",
                       "100", "-o", path("run")},
                      &out),
              0);
    EXPECT_TRUE(out.contains("P = 100"));
    const QStringList frames = QDir(path("run")).entryList({"frame*.png"}, QDir::Files, QDir::Name);
    EXPECT_EQ(frames.size(), 5); // 100 ms at 20 ms ticks, drawing taken as instant
    EXPECT_EQ(QImage(path("run/frame005.png")).pixel(0, 7) & 0xFFFFFF, 0x0A0AC8u);
    EXPECT_FALSE(QImage(path("run/contact-sheet.png")).isNull());
}

TEST_F(TransitionPreview, RefusesUnknownEffectsAndMissingOptions)
{
    EXPECT_EQ(preview({"frame", "--from", path("a.png"), "--to", path("b.png"), "--effect", "Nope", "--progress",
                       "5", "-o", path("x.png")}),
              2);
    EXPECT_EQ(preview({"play", "--from", path("a.png"), "--effect", "Fade", "-o", path("x")}), 2);
    EXPECT_EQ(preview({"frame", "--from", path("missing.png"), "--to", path("b.png"), "--effect", "Fade",
                       "--progress", "5", "-o", path("x.png")}),
              1);
}
