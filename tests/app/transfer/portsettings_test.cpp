// The settings record on disk and its round trip through the controls.

#include "app/transfer/headlesscontrols.h"
#include "app/transfer/portsettings.h"
#include "app/transfer/transferengine.h"
#include "tests/support/enginerig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray recordBytes(const TPortSettings& s)
{
    return QByteArray(reinterpret_cast<const char*>(&s), sizeof s);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SettingsFile : public testing::Test {
protected:
    QTemporaryDir dir;
    QString path = ConfigPathIn(dir.path());
};

} // namespace

TEST_F(SettingsFile, StoresTheFieldsLittleEndianAtTheirOffsets)
{
    TPortSettings s;
    s.PortIndex = 3;
    s.BaudIndex = 20;
    s.StopBitsIndex = 2;
    s.TimeGap = 0x01020304;
    s.DataSize = -2;
    s.PauseByDataSize = 1;
    ASSERT_TRUE(WriteSettingsFile(path, s));
    const QByteArray bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 20);
    EXPECT_EQ(bytes.mid(0, 5), QByteArray("\x03\x14\x00\x00\x02", 5));
    EXPECT_EQ(bytes.mid(5, 3), QByteArray(3, '\0')); // a fresh record's alignment bytes
    EXPECT_EQ(bytes.mid(8, 4), QByteArray("\x04\x03\x02\x01", 4));
    EXPECT_EQ(bytes.mid(12, 4), QByteArray("\xfe\xff\xff\xff", 4));
    EXPECT_EQ(bytes.at(16), 1);
    EXPECT_EQ(LoadSettings(path), s);
}

TEST_F(SettingsFile, ShortMissingOrLongFiles)
{
    const TPortSettings defaults;
    EXPECT_EQ(defaults.BaudIndex, 5);
    EXPECT_EQ(defaults.TimeGap, 50);
    EXPECT_EQ(defaults.DataSize, 512);
    EXPECT_EQ(LoadSettings(path), defaults); // missing

    TPortSettings stored;
    stored.PortIndex = 7;
    stored.TimeGap = 9;
    writeFile(path, recordBytes(stored).left(19));
    EXPECT_EQ(LoadSettings(path), defaults);

    writeFile(path, recordBytes(stored) + QByteArray("extra"));
    EXPECT_EQ(LoadSettings(path), stored);
}

TEST(SettingsLists, ItemsAndIndexes)
{
    const QStringList bauds = ListItems(SettingsList::Baud);
    ASSERT_EQ(bauds.size(), 21);
    EXPECT_EQ(bauds[0], "300");
    EXPECT_EQ(bauds[5], "9600");
    EXPECT_EQ(bauds[7], "38400");
    EXPECT_EQ(bauds[8], "43000");
    EXPECT_EQ(bauds[20], "921600");
    EXPECT_EQ(ListItems(SettingsList::Port).last(), "COM8");
    EXPECT_EQ(ListItems(SettingsList::Parity)[0], "no parity");
    EXPECT_EQ(ListItems(SettingsList::StopBits)[1], "1.5");

    EXPECT_EQ(ItemIndexFor(SettingsList::Port, 7), 7);
    EXPECT_EQ(ItemIndexFor(SettingsList::Port, 8), -1);
    EXPECT_EQ(ItemIndexFor(SettingsList::Baud, 255), -1);
    EXPECT_EQ(StoredIndexFor(-1), 255);
}

// Loading into the controls and saving back, as start-up and every open do.
class SettingsRoundTrip : public SettingsFile {
protected:
    HeadlessControls controls;
    TransferEngine engine {controls};

    void load()
    {
        engine.ApplySettings(LoadSettings(path));
    }
    // Starts up from a file whose port index selects nothing, so no real port
    // is opened; SaveSettings then writes that file.
    void startWithoutPort(TPortSettings stored = TPortSettings())
    {
        stored.PortIndex = 255;
        writeFile(path, recordBytes(stored));
        engine.initialise(path);
        ASSERT_EQ(engine.state(), TransferState::Closed);
    }
};

TEST_F(SettingsRoundTrip, AlignmentBytesAndIndex255SurviveASave)
{
    TPortSettings stored;
    stored.PortIndex = 255;
    stored.BaudIndex = 2;
    stored.Alignment1[0] = 0xAA;
    stored.Alignment1[2] = 0x55;
    stored.Alignment2[1] = 0x77;
    stored.TimeGap = 20;
    stored.DataSize = 100;
    stored.PauseByDataSize = 1;
    writeFile(path, recordBytes(stored));

    engine.initialise(path); // the port box is empty: the open fails
    EXPECT_EQ(controls.port, "");
    EXPECT_EQ(controls.baud, "1200");
    EXPECT_EQ(controls.timeGap, "20");
    EXPECT_EQ(controls.dataSize, "100");
    EXPECT_TRUE(controls.pauseChecked);
    EXPECT_FALSE(controls.dataSizeEnabled);
    EXPECT_EQ(engine.state(), TransferState::Closed);

    EXPECT_FALSE(engine.SaveSettings());
    EXPECT_EQ(readFile(path), recordBytes(stored));
}

TEST_F(SettingsRoundTrip, TimeGapIsSavedFromTheTimerNotFromTheBox)
{
    startWithoutPort();
    controls.timeGap = QStringLiteral("75");
    engine.timeGapEdited(); // accepted: the timer runs at 75
    controls.timeGap = QStringLiteral("123"); // typed, not yet accepted
    EXPECT_FALSE(engine.SaveSettings());
    EXPECT_EQ(LoadSettings(path).TimeGap, 75);
    EXPECT_EQ(engine.timer().interval(), 75);
}

TEST_F(SettingsRoundTrip, ANonNumberDataSizeRestoresTheFile)
{
    TPortSettings stored;
    stored.DataSize = 64;
    stored.TimeGap = 30;
    startWithoutPort(stored);
    stored.PortIndex = 255;

    controls.dataSize = QStringLiteral("12x");
    controls.timeGap = QStringLiteral("999");
    engine.timeGapEdited();
    EXPECT_FALSE(engine.SaveSettings());
    EXPECT_EQ(LoadSettings(path), stored);
    EXPECT_EQ(controls.dataSize, "64");
    EXPECT_EQ(engine.timer().interval(), 30);
}

TEST_F(SettingsRoundTrip, UnusableStoredValuesFallBack)
{
    TPortSettings stored;
    stored.TimeGap = -5;
    stored.DataSize = 9999;
    writeFile(path, recordBytes(stored));
    load();
    EXPECT_EQ(engine.timer().interval(), 50);
    EXPECT_EQ(controls.timeGap, "50");
    EXPECT_EQ(controls.dataSize, "2048");
    EXPECT_EQ(engine.chunkLength(), 2048);

    stored.TimeGap = 24 * 3600 * 1000;
    stored.DataSize = -1; // shown unsigned, too big for a whole number: the default
    writeFile(path, recordBytes(stored));
    load();
    EXPECT_EQ(engine.timer().interval(), 50);
    EXPECT_EQ(controls.dataSize, "512");

    stored.TimeGap = 0; // kept: Start makes it 1 ms; until then the timer rests
    writeFile(path, recordBytes(stored));
    load();
    EXPECT_EQ(engine.timer().interval(), 0);
    EXPECT_FALSE(engine.timer().isActive());
}

// The file is written beside itself and renamed into place; a file that
// cannot be written is said, with where and why, when the port opens.
TEST(SettingsSave, AFailedWriteIsSaidAndLeavesNoHalfFileBehind)
{
    PtyEngineRig rig(QStringLiteral("9600"));
    const QString path = ConfigPathIn(rig.dir.path());
    TPortSettings stored;
    stored.PortIndex = 255; // no port at start-up; Set Port opens the pseudo-terminal
    writeFile(path, recordBytes(stored));
    rig.engine.initialise(path);
    rig.controls.port = rig.pty.path;
    rig.engine.applyPortSettings();
    ASSERT_EQ(rig.engine.state(), TransferState::Idle);
    EXPECT_EQ(LoadSettings(path), rig.engine.settings());
    const QStringList temporaries {QStringLiteral("Config.dat.*")};
    EXPECT_EQ(QDir(rig.dir.path()).entryList(temporaries, QDir::Files), QStringList {});

    // A folder where the file should be: the rename cannot replace it.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path));
    rig.engine.applyPortSettings();
    ASSERT_FALSE(rig.controls.messages.isEmpty());
    EXPECT_EQ(rig.controls.messages.last().text, QStringLiteral("Can't Save Settings!\n%1\nIs a directory").arg(path))
        << rig.controls.messages.last().text.toStdString();
    EXPECT_EQ(QDir(rig.dir.path()).entryList(temporaries, QDir::Files), QStringList {});
}

// "Port.txt" keeps a port the record cannot name: when it cannot be written
// the open still succeeds, and the log says which file and why.
TEST(SettingsSave, AnUnwritablePortFileIsALineInTheLog)
{
    PtyEngineRig rig(QStringLiteral("9600"));
    const QString path = ConfigPathIn(rig.dir.path());
    const QString portFile = rig.dir.filePath(QStringLiteral("Port.txt"));
    ASSERT_TRUE(QDir().mkdir(portFile));
    TPortSettings stored;
    stored.PortIndex = 255; // no port at start-up; Set Port opens the pseudo-terminal
    writeFile(path, recordBytes(stored));
    rig.engine.initialise(path);
    rig.controls.port = rig.pty.path;
    rig.controls.messages.clear();
    rig.engine.applyPortSettings();
    ASSERT_EQ(rig.engine.state(), TransferState::Idle);
    EXPECT_TRUE(rig.controls.messages.isEmpty());
    ASSERT_EQ(rig.controls.logLines.size(), 1);
    EXPECT_TRUE(rig.controls.logLines[0].startsWith(QStringLiteral("Can't Save File! %1: ").arg(portFile)))
        << rig.controls.logLines[0].toStdString();
    EXPECT_EQ(LoadSettings(path), rig.engine.settings()) << "Config.dat is still written";
}
