#include "app/transfer/transferplan.h"
#include "tests/support/testsupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// The packets are those the engine sends (lines of at most 2048 bytes, or
// blocks falling back to a line), and the times follow its ticks: a Time Gap
// apart, the first one a Time Gap after Start, later when a packet is longer
// on the wire than the gap, or a packet's wire time after the last when
// waiting for answers.
TEST(TransferPlan, CountsThePacketsAndTheTimeOfTheEngine)
{
    QByteArray tenBytes(10, 'b');
    tenBytes[8] = '\n';
    const QByteArray fiveThousand(5000, 'x');
    struct Case {
        const char* what;
        QByteArray file;
        PlanSettings settings;
        qint64 packets;
        double wireSeconds, wholeSeconds;
    };
    const Case cases[] = {
        {"empty", "", {}, 0, 0, 0},
        {"two lines", "A\nB\n", {}, 2, 4 * 10 / 9600.0, 0.100 + 2 * 10 / 9600.0},
        {"block 4 falls back to a line", tenBytes, {true, 4}, 4, 10 * 10 / 9600.0, 0.200 + 10 / 9600.0},
        {"Data Size 0", tenBytes, {true, 0}, 0, 0, 0},
        // 2048 bytes take 177.8 ms at 115200 baud: the packets go at 20, 200 and 380 ms.
        {"lines longer than the gap", fiveThousand, {false, 512, 20, 115200}, 3, 50000 / 115200.0,
         0.380 + 9040 / 115200.0},
        {"waiting for answers", fiveThousand, {false, 512, 20, 115200, 10, true}, 3, 50000 / 115200.0,
         0.020 + 2 * 20480 / 115200.0 + 9040 / 115200.0},
        {"gap 0 goes as 1 ms, 7E2", "a\nb\nc\n", {false, 512, 0, 1000, 11}, 3, 6 * 11 / 1000.0, 0.001 + 2 * 0.022 + 0.022},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = luxtest::writeFile(dir.filePath(QString::fromLatin1(c.what)), c.file);
        const TransferPlan plan = PlanTransfer(QFile::encodeName(file), c.settings);
        EXPECT_FALSE(plan.error.failed());
        EXPECT_EQ(plan.packets, c.packets);
        EXPECT_EQ(plan.bytes, c.packets > 0 ? c.file.size() : 0);
        EXPECT_NEAR(plan.wireSeconds, c.wireSeconds, 1e-9);
        EXPECT_NEAR(plan.wholeSeconds, c.wholeSeconds, 1e-9);
    }
}
