// Runs lux-preview frame and play on small pictures and checks the pictures they write,
// and that no failed write of any command goes unreported.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

QString programPath()
{
    return QStringLiteral(LUX_BINARY_DIR "/tools/lux-preview/lux-preview");
}

int preview(const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr)
{
    QProcess p;
    p.start(programPath(), args);
    if (!p.waitForFinished(60000))
        return -1;
    if (out)
        *out = p.readAllStandardOutput();
    if (err)
        *err = p.readAllStandardError();
    return p.exitCode();
}

// Runs lux-preview with standard output thrown away; gives the peak resident memory of that
// run alone in KiB (from wait4), or -1 when it could not be run, and its exit status.
long peakKiBOf(const QStringList& args, int& status)
{
    std::vector<QByteArray> bytes{programPath().toLocal8Bit()};
    for (const QString& arg : args)
        bytes.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& arg : bytes)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    rusage usage{};
    int waited = 0;
    if (started != 0 || ::wait4(pid, &waited, 0, &usage) != pid)
        return -1;
    status = WIFEXITED(waited) ? WEXITSTATUS(waited) : -1;
    return usage.ru_maxrss;
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
    QByteArray err;
    ASSERT_EQ(preview({"frame", "--from", path("a.png"), "--to", path("b.png"), "--effect", "Fade", "--progress",
                       "100", "-o", path("f.png")},
                      nullptr, &err),
              0);
    EXPECT_FALSE(err.contains("not defined")) << err.toStdString(); // no warning about options it lacks
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

// One picture per effect, each three frames side by side with their labels, a
// contact sheet and a page naming them all.
TEST_F(TransitionPreview, GalleryWritesAPicturePerEffectASheetAndAPage)
{
    QByteArray out;
    ASSERT_EQ(preview({"gallery", path("gallery"), "--size", "40x30"}, &out), 0);
    const QDir gallery(path("gallery"));
    const QStringList pictures = gallery.entryList({"[0-9][0-9]-*.png"}, QDir::Files, QDir::Name);
    ASSERT_EQ(pictures.size(), 58);
    EXPECT_EQ(pictures.first(), QStringLiteral("01-SmoothDiagonal.png"));
    EXPECT_EQ(QImage(gallery.filePath(pictures.first())).size(), QSize(8 + 3 * (40 + 8), 22 + 30 + 22 + 8));
    EXPECT_FALSE(QImage(gallery.filePath("contact-sheet.png")).isNull());
    QFile index(gallery.filePath("index.html"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_EQ(index.readAll().count("<img src="), 58);
    EXPECT_EQ(preview({"gallery", path("g2"), "--size", "4x3"}), 2);
}

// A hundred frames of a million pixels each: written as they are drawn, only their
// thumbnails kept, so the peak stays far below the 400 MB that holding them would take.
TEST_F(TransitionPreview, PlayOfLargePicturesKeepsItsPeakMemoryBounded)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's shadow and quarantine say nothing about the program's own memory";
#endif
    QImage a(1000, 1000, QImage::Format_RGB32), b(1000, 1000, QImage::Format_RGB32);
    a.fill(qRgb(200, 10, 10));
    b.fill(qRgb(10, 10, 200));
    ASSERT_TRUE(a.save(path("big-a.png")));
    ASSERT_TRUE(b.save(path("big-b.png")));
    int status = -1;
    const long peakKiB = peakKiBOf({"play", "--from", path("big-a.png"), "--to", path("big-b.png"), "--effect",
                                    "Fade", "--time", "2000", "-o", path("big")},
                                   status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(QDir(path("big")).entryList({"frame*.png"}, QDir::Files).size(), 100);
    EXPECT_GT(peakKiB, 0);
    EXPECT_LT(peakKiB, 200 * 1024);
    RecordProperty("peak_kib", int(peakKiB));
    std::printf("[ figures  ] lux-preview play, 1000 x 1000 over 2 s: peak %ld KiB\n", peakKiB);
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

TEST_F(TransitionPreview, FailedWritesAndAReaderThatWentAwayAreReported)
{
    int unread[2];
    ASSERT_EQ(::pipe(unread), 0);
    ::close(unread[0]); // standard output for a reader that went away

    enum class Output { ClosedPipe, FullDisk, TinyFiles };
    struct Case {
        QStringList args;
        Output output;
        int status;
        QString named;
    };
    const QStringList play{"play", "--from", path("a.png"), "--to", path("b.png"), "--effect", "Fade", "--time", "100"};
    const Case cases[] = {
        {{"list"}, Output::ClosedPipe, 3, "standard output"},
        {play + QStringList{"-o", path("run1")}, Output::ClosedPipe, 3, "standard output"},
        {{"mask", "Fade", "64", "64", "50"}, Output::FullDisk, 1, "standard output"},
        {{"mask", "Fade", "4", "4", "50", "--png", path("m.png")}, Output::TinyFiles, 1, path("m.png")},
        {{"frame", "--from", path("a.png"), "--to", path("b.png"), "--effect", "Fade", "--progress", "5", "-o",
          path("f.png")},
         Output::TinyFiles, 1, path("f.png")},
        {play + QStringList{"-o", path("run2")}, Output::TinyFiles, 1, "frame001.png"},
    };
    for (const Case& c : cases) {
        QProcess p;
        if (c.output == Output::FullDisk)
            p.setStandardOutputFile(QStringLiteral("/dev/full"));
        const int pipeEnd = unread[1];
        const Output output = c.output;
        p.setChildProcessModifier([pipeEnd, output] {
            std::signal(SIGPIPE, SIG_DFL); // as a shell starts it
            if (output == Output::ClosedPipe)
                ::dup2(pipeEnd, 1);
            if (output == Output::TinyFiles) { // no file may grow past 16 bytes
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{16, 16};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
        });
        p.start(programPath(), c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString what = c.args.join(u' ');
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << what.toStdString();
        EXPECT_EQ(p.exitCode(), c.status) << what.toStdString();
        EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError()).contains(c.named)) << what.toStdString();
    }
    ::close(unread[1]);
}
