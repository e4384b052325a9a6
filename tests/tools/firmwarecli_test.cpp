// flashupdate-cli with firmware files: a file that fails its check is refused
// before any port opens and --force sends it, --dry-run counts the packets
// the transfer then sends, and --report leaves a JSON record after a
// success, after one board of several failed and after Ctrl-C.

#include "tests/tools/boardsimprocess.h"
#include "tests/support/testsupport.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <vector>
#include <unistd.h>

namespace {

// 24 data records of 16 bytes from 0x08000000, then the end record.
QByteArray intelHexImage()
{
    QByteArray file = ":020000040800F2\r\n";
    for (int record = 0; record < 24; ++record) {
        QByteArray bytes = QByteArray::fromHex("10") + char(record >> 4) + char(record << 4) + '\0';
        for (int i = 0; i < 16; ++i)
            bytes += char(record * 16 + i);
        int sum = 0;
        for (const char b : bytes)
            sum += static_cast<unsigned char>(b);
        file += ':' + (bytes + char(-sum)).toHex().toUpper() + "\r\n";
    }
    return file + ":00000001FF\r\n";
}

struct Outcome {
    int exitCode = -1;
    QByteArray out, err;
};

class FirmwareCli : public testing::Test {
protected:
    QString file(const QString& name, const QByteArray& bytes) { return luxtest::writeFile(dir.filePath(name), bytes); }

    void start(const QStringList& arguments)
    {
        cli.start(builtProgram("app/flashupdate-cli"), arguments);
        ASSERT_TRUE(cli.waitForStarted());
    }

    Outcome finish()
    {
        cli.waitForFinished(60000);
        return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, cli.readAllStandardOutput(),
                cli.readAllStandardError()};
    }

    Outcome run(const QStringList& arguments)
    {
        start(arguments);
        return finish();
    }

    QJsonObject report() const
    {
        QFile json(dir.filePath(QStringLiteral("report.json")));
        EXPECT_TRUE(json.open(QIODevice::ReadOnly));
        return QJsonDocument::fromJson(json.readAll()).object();
    }

    QTemporaryDir dir;
    QProcess cli;
    const QStringList fast {QStringLiteral("--baud"), QStringLiteral("115200"), QStringLiteral("--gap"),
                            QStringLiteral("2"), QStringLiteral("--linger"), QStringLiteral("100")};
};

QByteArray boardGot(const QString& log)
{
    QByteArray all;
    for (const LoggedRead& read : readBoardLog(log))
        all += read.bytes;
    return all;
}

} // namespace

// A file failing its check never reaches a port (a port that does not exist
// is not even tried); --force sends it whole, as a good one is.
TEST_F(FirmwareCli, RefusesAFileThatFailsItsCheckUnlessForced)
{
    QByteArray badHex = intelHexImage();
    badHex.replace(":10007000707172737475767778797A", ":10007000707172737475767778787A");
    const QByteArray badRecords = "S00600004844521B\nS1050000AABB96\nS9030000FC\n";
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* said;
    };
    const Case cases[] = {
        {"bad.hex", badHex, "Intel HEX, addresses 0x08000000-0x0800017F, check failed: line 9: checksum 08, computed 09"},
        {"bad.s19", badRecords, "S-record, check failed: line 2: checksum 96, computed 95"},
        {"good.hex", intelHexImage(), "Intel HEX, addresses 0x08000000-0x0800017F, check ok"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = file(QString::fromLatin1(c.name), c.bytes);
        const bool good = QByteArray(c.said).endsWith("ok");
        if (!good) {
            const Outcome refused = run(QStringList {QStringLiteral("send"), path, QStringLiteral("--port"),
                                                 QStringLiteral("/dev/no-such-board")} + fast);
            EXPECT_EQ(refused.exitCode, 1);
            EXPECT_EQ(refused.err, path.toLocal8Bit() + ": " + c.said + "; not sent (--force sends it anyway)\n");
        }
        const QString log = dir.filePath(QStringLiteral("%1.log").arg(QLatin1String(c.name)));
        BoardSimProcess board({QStringLiteral("--log"), log});
        const Outcome sent = run(QStringList {QStringLiteral("send"), path, QStringLiteral("--port"), board.device}
                             + fast + (good ? QStringList() : QStringList {QStringLiteral("--force")}));
        board.stop();
        EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
        EXPECT_TRUE(sent.err.startsWith(path.toLocal8Bit() + ": " + c.said)) << sent.err.toStdString();
        EXPECT_EQ(boardGot(log), c.bytes);
    }
}

// A dry run opens no port and counts the packets that the transfer then
// sends, in line mode and in block mode with its fall-back to lines.
TEST_F(FirmwareCli, DryRunCountsThePacketsTheTransferSends)
{
    QByteArray blocks(1050, 'b');
    blocks[1040] = '\n';
    const QString image = file(QStringLiteral("image.hex"), intelHexImage());
    const QString raw = file(QStringLiteral("blocks.bin"), blocks);
    struct Case {
        QString path;
        QStringList mode;
        QByteArray plan; // what the dry run prints after the file's line
    };
    const Case cases[] = {
        {image, {QStringLiteral("--lines")},
         "format: Intel HEX, addresses 0x08000000-0x0800017F\ncheck: ok\npackets: 26 (lines)\nbytes: 1110\n"
         "wire time: 0.096 s at 115200 baud, 8N1\nwhole time: 0.101 s with a Time Gap of 2 ms\n"},
        {raw, {QStringLiteral("--block"), QStringLiteral("100"), QStringLiteral("--stop-bits"), QStringLiteral("2")},
         "format: no known format, sent unchanged\ncheck: skipped\n"
         "packets: 12 (blocks of 100 bytes, a line where less than a block is left)\nbytes: 1050\n"
         "wire time: 0.100 s at 115200 baud, 8N2\nwhole time: 0.107 s with a Time Gap of 2 ms\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plan.left(30).toStdString());
        const Outcome dry = run(QStringList {QStringLiteral("send"), c.path, QStringLiteral("--dry-run"),
                                         QStringLiteral("--port"), QStringLiteral("/dev/no-such-board")}
                            + fast + c.mode);
        EXPECT_EQ(dry.exitCode, 0) << dry.err.toStdString();
        EXPECT_EQ(dry.out, QStringLiteral("file: %1, %2 bytes\n").arg(c.path).arg(QFileInfo(c.path).size()).toLocal8Bit()
                               + c.plan + "ports: no-such-board (not opened)\n");

        BoardSimProcess board({});
        const Outcome sent = run(QStringList {QStringLiteral("send"), c.path, QStringLiteral("--port"), board.device}
                             + fast + c.mode);
        EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
        const qsizetype packets = c.plan.indexOf("packets: ") + 9;
        EXPECT_TRUE(sent.err.endsWith("packets: " + c.plan.mid(packets, c.plan.indexOf(' ', packets) - packets) + '\n'))
            << sent.err.toStdString();
    }
}

// The report of one board that got the file: the file's facts, the settings
// and the board's figures and replies.
TEST_F(FirmwareCli, ReportsASuccessfulSend)
{
    const QByteArray image = intelHexImage();
    const QString path = file(QStringLiteral("image.hex"), image);
    BoardSimProcess board({QStringLiteral("--reply-after-line"), QStringLiteral("OK\\r\\n")});
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    const Outcome sent = run(QStringList {QStringLiteral("send"), path, QStringLiteral("--port"), board.device,
                                      QStringLiteral("--wait-for"), QStringLiteral("OK"), QStringLiteral("--report"),
                                      dir.filePath(QStringLiteral("report.json"))}
                         + fast);
    ASSERT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    const QJsonObject json = report();
    EXPECT_TRUE(json.value(QStringLiteral("tool")).toString().startsWith(QStringLiteral("flashupdate-cli ")));
    const QDateTime started = QDateTime::fromString(json.value(QStringLiteral("started")).toString(), Qt::ISODateWithMs);
    EXPECT_TRUE(started >= before && started <= QDateTime::currentDateTimeUtc()) << started.toString().toStdString();
    const QJsonObject expectedFile {
        {"path", path}, {"bytes", image.size()},
        {"sha256", QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex())},
        {"format", "intel-hex"}, {"first_address", 0x08000000}, {"last_address", 0x0800017F}, {"check", "ok"},
    };
    EXPECT_EQ(json.value(QStringLiteral("file")).toObject(), expectedFile);
    const QJsonObject expectedSettings {
        {"baud", 115200}, {"gap", 2}, {"block", QJsonValue()}, {"parity", "none"}, {"data_bits", 8},
        {"stop_bits", 1}, {"flow", "none"}, {"wait_for", "OK"}, {"reply_timeout", 5000},
    };
    EXPECT_EQ(json.value(QStringLiteral("settings")).toObject(), expectedSettings);
    const QJsonArray ports = json.value(QStringLiteral("ports")).toArray();
    ASSERT_EQ(ports.size(), 1);
    const QJsonObject port = ports[0].toObject();
    EXPECT_EQ(port.value(QStringLiteral("port")).toString(), board.device);
    EXPECT_EQ(port.value(QStringLiteral("bytes")).toInteger(), image.size());
    EXPECT_EQ(port.value(QStringLiteral("packets")).toInt(), 26);
    EXPECT_GT(port.value(QStringLiteral("seconds")).toDouble(), 0);
    EXPECT_EQ(port.value(QStringLiteral("result")).toString(), QStringLiteral("ok"));
    EXPECT_EQ(port.value(QStringLiteral("status")).toInt(), 0);
    EXPECT_EQ(port.value(QStringLiteral("replies")).toString(), QStringLiteral("OK\r\n").repeated(26));
    EXPECT_EQ(json.value(QStringLiteral("exit")).toInt(), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter(QStringLiteral("report")),
              QStringList {QStringLiteral("report.json")})
        << "no temporary file is left beside it";
}

// Three boards, the second hanging up midway: one entry each in the order
// given, the second with its failure; and a run stopped by Ctrl-C.
TEST_F(FirmwareCli, ReportsAFailureAmongSeveralBoardsAndCtrlC)
{
    const QByteArray image = intelHexImage();
    const QString path = file(QStringLiteral("image.hex"), image);
    const QString reportPath = dir.filePath(QStringLiteral("report.json"));
    std::vector<std::unique_ptr<BoardSimProcess>> boards;
    QStringList arguments {QStringLiteral("send"), path, QStringLiteral("--report"), reportPath};
    for (int i = 0; i < 3; ++i) {
        boards.push_back(std::make_unique<BoardSimProcess>(
            i == 1 ? QStringList {QStringLiteral("--hangup-after"), QStringLiteral("300")} : QStringList()));
        arguments += {QStringLiteral("--port"), boards.back()->device};
    }
    const Outcome several = run(arguments + fast);
    EXPECT_EQ(several.exitCode, 1) << several.err.toStdString();
    QJsonObject json = report();
    EXPECT_EQ(json.value(QStringLiteral("exit")).toInt(), 1);
    QJsonArray ports = json.value(QStringLiteral("ports")).toArray();
    ASSERT_EQ(ports.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QJsonObject port = ports[i].toObject();
        EXPECT_EQ(port.value(QStringLiteral("port")).toString(), boards[size_t(i)]->device);
        EXPECT_EQ(port.value(QStringLiteral("status")).toInt(), i == 1 ? 1 : 0);
        EXPECT_EQ(port.value(QStringLiteral("result")).toString(),
                  i == 1 ? QStringLiteral("COM Port Error !!!: Input/output error") : QStringLiteral("ok"));
        if (i == 1)
            EXPECT_LT(port.value(QStringLiteral("bytes")).toInteger(), image.size());
        else
            EXPECT_EQ(port.value(QStringLiteral("bytes")).toInteger(), image.size());
    }

    const QString log = dir.filePath(QStringLiteral("interrupted.log"));
    BoardSimProcess board({QStringLiteral("--log"), log});
    start({QStringLiteral("send"), path, QStringLiteral("--port"), board.device, QStringLiteral("--gap"),
           QStringLiteral("1000"), QStringLiteral("--report"), reportPath});
    QElapsedTimer waited;
    waited.start();
    while (QFile(log).size() == 0 && waited.elapsed() < 20000)
        ::usleep(2000);
    ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
    EXPECT_EQ(finish().exitCode, 130);
    json = report();
    EXPECT_EQ(json.value(QStringLiteral("exit")).toInt(), 130);
    ports = json.value(QStringLiteral("ports")).toArray();
    ASSERT_EQ(ports.size(), 1);
    EXPECT_EQ(ports[0].toObject().value(QStringLiteral("status")).toInt(), 130);
    EXPECT_EQ(ports[0].toObject().value(QStringLiteral("result")).toString(), QStringLiteral("Transmit Interrupt !!!"));
    EXPECT_GE(ports[0].toObject().value(QStringLiteral("packets")).toInt(), 1);
}
