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

// 24 data records of 16 bytes from 0x08000000, then the end record; 1110 bytes.
QByteArray intelHexImage()
{
    QByteArray file = ":020000040800F2\r\n";
    for (int record = 0; record < 24; ++record) {
        QByteArray bytes = QByteArray::fromHex("10") + char(record >> 4) + char(record << 4) + '\0';
        int sum = 0x10 + (record >> 4) + (record << 4 & 0xFF);
        for (int i = 0; i < 16; ++i) {
            bytes += char(record * 16 + i);
            sum += record * 16 + i;
        }
        file += ':' + (bytes + char(-sum)).toHex().toUpper() + "\r\n";
    }
    return file + ":00000001FF\r\n";
}

QByteArray boardGot(const QString& log)
{
    QByteArray all;
    for (const LoggedRead& read : readBoardLog(log))
        all += read.bytes;
    return all;
}

class FirmwareCli : public testing::Test {
protected:
    struct Outcome {
        int exitCode = -1;
        QByteArray out, err;
    };

    // Starts the sender at a fast pace with `arguments` (split at blanks) and
    // `more`, which may set the pace again.
    void start(const char* arguments, const QStringList& more = {})
    {
        cli.start(builtProgram("app/flashupdate-cli"), QStringList {"--baud", "115200", "--gap", "2", "--linger", "100"}
                      + QString::fromLatin1(arguments).split(' ') + more);
        ASSERT_TRUE(cli.waitForStarted());
    }
    Outcome finish()
    {
        cli.waitForFinished(60000);
        return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, cli.readAllStandardOutput(),
                cli.readAllStandardError()};
    }
    Outcome run(const char* arguments, const QStringList& more = {})
    {
        start(arguments, more);
        return finish();
    }
    QJsonObject report() const
    {
        QFile json(reportPath);
        EXPECT_TRUE(json.open(QIODevice::ReadOnly));
        return QJsonDocument::fromJson(json.readAll()).object();
    }

    QTemporaryDir dir;
    QProcess cli;
    const QString image = luxtest::writeFile(dir.filePath("image.hex"), intelHexImage());
    const QString reportPath = dir.filePath("report.json");
};

} // namespace

// A file failing its check never reaches a port (a port that does not exist
// is not even tried); --force sends it whole, as a good one is.
TEST_F(FirmwareCli, RefusesAFileThatFailsItsCheckUnlessForced)
{
    QByteArray badHex = intelHexImage();
    badHex.replace(":10007000707172737475767778797A", ":10007000707172737475767778787A");
    struct Case {
        QByteArray bytes;
        const char* said;
    };
    const Case cases[] = {
        {badHex, "Intel HEX, addresses 0x08000000-0x0800017F, check failed: line 9: checksum 08, computed 09"},
        {"S00600004844521B\nS1050000AABB96\nS9030000FC\n", "S-record, check failed: line 2: checksum 96, computed 95"},
        {intelHexImage(), "Intel HEX, addresses 0x08000000-0x0800017F, check ok"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        const QString path = luxtest::writeFile(dir.filePath("firmware"), c.bytes);
        const bool good = QByteArray(c.said).endsWith("ok");
        if (!good) {
            const Outcome refused = run("send --port /dev/no-such-board", {path});
            EXPECT_EQ(refused.exitCode, 1);
            EXPECT_EQ(refused.err, path.toLocal8Bit() + ": " + c.said + "; not sent (--force sends it anyway)\n");
        }
        const QString log = dir.filePath("board.log");
        QFile::remove(log);
        BoardSimProcess board({"--log", log});
        const Outcome sent = run(good ? "send" : "send --force", {path, "--port", board.device});
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
    const QString raw = luxtest::writeFile(dir.filePath("blocks.bin"), blocks);
    struct Case {
        QString path;
        const char* mode;
        QByteArray plan; // what the dry run prints after the file's line
        const char* packets;
    };
    const Case cases[] = {
        {image, "--lines",
         "format: Intel HEX, addresses 0x08000000-0x0800017F\ncheck: ok\npackets: 26 (lines)\nbytes: 1110\n"
         "wire time: 0.096 s at 115200 baud, 8N1\nwhole time: 0.101 s with a Time Gap of 2 ms\n",
         "packets: 26\n"},
        {raw, "--block 100 --stop-bits 2",
         "format: no known format, sent unchanged\ncheck: skipped\n"
         "packets: 12 (blocks of 100 bytes, a line where less than a block is left)\nbytes: 1050\n"
         "wire time: 0.100 s at 115200 baud, 8N2\nwhole time: 0.107 s with a Time Gap of 2 ms\n",
         "packets: 12\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const QStringList mode = QString::fromLatin1(c.mode).split(' ');
        const Outcome dry = run("send --dry-run --port /dev/no-such-board", QStringList {c.path} + mode);
        EXPECT_EQ(dry.exitCode, 0) << dry.err.toStdString();
        EXPECT_EQ(dry.out.toStdString(), (QStringLiteral("file: %1, %2 bytes\n").arg(c.path).arg(QFileInfo(c.path).size())
                                          .toLocal8Bit() + c.plan + "ports: no-such-board (not opened)\n").toStdString());
        BoardSimProcess board({});
        const Outcome sent = run("send", QStringList {c.path, "--port", board.device} + mode);
        EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
        EXPECT_TRUE(sent.err.endsWith(c.packets)) << sent.err.toStdString();
    }
}

// The report of one board that got the file: the file's facts, the settings
// and the board's figures and replies; no temporary file is left beside it.
TEST_F(FirmwareCli, ReportsASuccessfulSend)
{
    BoardSimProcess board({"--reply-after-line", "OK\\r\\n"});
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    const Outcome sent = run("send --wait-for OK --report", {reportPath, image, "--port", board.device});
    ASSERT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    const QJsonObject json = report();
    EXPECT_TRUE(json["tool"].toString().startsWith("flashupdate-cli "));
    const QDateTime started = QDateTime::fromString(json["started"].toString(), Qt::ISODateWithMs);
    EXPECT_TRUE(started >= before && started <= QDateTime::currentDateTimeUtc()) << started.toString().toStdString();
    const QByteArray sha256 = QCryptographicHash::hash(intelHexImage(), QCryptographicHash::Sha256).toHex();
    EXPECT_EQ(json["file"].toObject(),
              (QJsonObject {{"path", image}, {"bytes", 1110}, {"sha256", QString::fromLatin1(sha256)},
                            {"format", "intel-hex"}, {"first_address", 0x08000000}, {"last_address", 0x0800017F},
                            {"check", "ok"}}));
    EXPECT_EQ(json["settings"].toObject(),
              (QJsonObject {{"baud", 115200}, {"gap", 2}, {"block", QJsonValue()}, {"parity", "none"},
                            {"data_bits", 8}, {"stop_bits", 1}, {"flow", "none"}, {"wait_for", "OK"},
                            {"reply_timeout", 5000}}));
    const QJsonArray ports = json["ports"].toArray();
    ASSERT_EQ(ports.size(), 1);
    QJsonObject port = ports[0].toObject();
    EXPECT_GT(port.take("seconds").toDouble(), 0);
    EXPECT_EQ(port, (QJsonObject {{"port", board.device}, {"bytes", 1110}, {"packets", 26}, {"result", "ok"},
                                  {"status", 0}, {"replies", QString("OK\r\n").repeated(26)}}));
    EXPECT_EQ(json["exit"].toInt(-1), 0);
    EXPECT_EQ(QDir(dir.path()).entryList({"report*"}, QDir::Files), QStringList {"report.json"});
}

// Three boards, the second hanging up midway: one entry each in the order
// given, the second with its failure; and a run stopped by Ctrl-C.
TEST_F(FirmwareCli, ReportsAFailureAmongSeveralBoardsAndCtrlC)
{
    std::vector<std::unique_ptr<BoardSimProcess>> boards;
    QStringList ports {reportPath, image};
    for (int i = 0; i < 3; ++i) {
        boards.push_back(std::make_unique<BoardSimProcess>(i == 1 ? QStringList {"--hangup-after", "300"} : QStringList()));
        ports += {"--port", boards.back()->device};
    }
    EXPECT_EQ(run("send --report", ports).exitCode, 1);
    QJsonObject json = report();
    EXPECT_EQ(json["exit"].toInt(), 1);
    ASSERT_EQ(json["ports"].toArray().size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QJsonObject port = json["ports"].toArray()[i].toObject();
        EXPECT_EQ(port["port"].toString(), boards[size_t(i)]->device);
        EXPECT_EQ(port["status"].toInt(), i == 1 ? 1 : 0);
        EXPECT_EQ(port["result"].toString(), i == 1 ? "COM Port Error !!!: Input/output error" : "ok");
        EXPECT_EQ(port["bytes"].toInteger() < 1110, i == 1);
    }

    const QString log = dir.filePath("interrupted.log");
    BoardSimProcess board({"--log", log});
    start("send --report", {reportPath, image, "--port", board.device, "--gap", "1000"});
    QElapsedTimer waited;
    waited.start();
    while (QFile(log).size() == 0 && waited.elapsed() < 20000)
        ::usleep(2000);
    ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
    EXPECT_EQ(finish().exitCode, 130);
    json = report();
    EXPECT_EQ(json["exit"].toInt(), 130);
    ASSERT_EQ(json["ports"].toArray().size(), 1);
    const QJsonObject port = json["ports"].toArray()[0].toObject();
    EXPECT_EQ(port["status"].toInt(), 130);
    EXPECT_EQ(port["result"].toString(), "Transmit Interrupt !!!");
    EXPECT_GE(port["packets"].toInt(), 1);
}
