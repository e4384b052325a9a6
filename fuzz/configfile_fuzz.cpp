// "Config.dat" loading and the save/recover path of the transfer engine.
// Input: one byte giving the file's length (0 to 24 bytes: short, exact and
// long files), the file, then what the user does with the boxes: five list
// selections, the "Pause By Data Size" check, and the Time Gap and Data Size
// texts separated by a line feed.
// Checks: loading gives the file's first record or the defaults; after each
// save the file holds exactly the engine's record, the alignment bytes of the
// file survive every save, and a second apply-and-save round changes nothing.

#include "fuzz/fuzzsupport.h"
#include "app/transfer/headlesscontrols.h"
#include "app/transfer/portsettings.h"
#include "app/transfer/transferengine.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>

namespace {

// Controls whose port box never names a device: the fuzzer must not open
// /dev/ttyS*, yet the port index still goes through the record.
class NoPortControls : public HeadlessControls {
public:
    void setItemIndex(SettingsList list, int index) override
    {
        HeadlessControls::setItemIndex(list, index);
        port.clear();
    }
};

QByteArray fileBytes(const QString& path)
{
    QByteArray bytes;
    if (std::FILE* f = std::fopen(QFile::encodeName(path).constData(), "rb")) {
        char chunk[64];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
            bytes.append(chunk, qsizetype(n));
        std::fclose(f);
    }
    return bytes;
}

// A folder in memory (/dev/shm) where the machine has one: on a disk every
// rewrite of a truncated file waits for its own flush, which made this target
// run a few hundred inputs a second.
QString scratchFolder()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString root = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return root + QStringLiteral("/configfile_fuzz-XXXXXX");
}

QByteArray recordBytes(const TPortSettings& s)
{
    return QByteArray(reinterpret_cast<const char*>(&s), sizeof s);
}

bool sameAlignment(const TPortSettings& a, const TPortSettings& b)
{
    return std::memcmp(a.Alignment1, b.Alignment1, 3) == 0 && std::memcmp(a.Alignment2, b.Alignment2, 3) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzInitQt(false);
    static QTemporaryDir dir(scratchFolder());
    static const QString path = ConfigPathIn(dir.path());
    if (size == 0)
        return 0;
    const size_t fileLength = std::min<size_t>(data[0] % 25, size - 1);
    const QByteArray file(reinterpret_cast<const char*>(data) + 1, qsizetype(fileLength));
    QByteArray actions(reinterpret_cast<const char*>(data) + 1 + fileLength, qsizetype(size - 1 - fileLength));
    {
        std::FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
        FUZZ_CHECK(f);
        FUZZ_CHECK(std::fwrite(file.constData(), 1, size_t(file.size()), f) == size_t(file.size()));
        std::fclose(f);
    }

    const TPortSettings loaded = LoadSettings(path);
    TPortSettings expected;
    if (file.size() >= qsizetype(sizeof expected))
        std::memcpy(&expected, file.constData(), sizeof expected);
    FUZZ_CHECK(loaded == expected);

    NoPortControls controls;
    TransferEngine engine(controls);
    engine.initialise(path);
    FUZZ_CHECK(engine.state() == TransferState::Closed);
    FUZZ_CHECK(engine.settings() == loaded);

    // What the user does: a selection in each list (or none), the check box, the texts.
    constexpr SettingsList lists[] = {SettingsList::Port, SettingsList::Baud, SettingsList::Parity,
                                      SettingsList::ByteSize, SettingsList::StopBits};
    for (SettingsList list : lists) {
        if (actions.isEmpty())
            break;
        const int count = int(ListItems(list).size());
        controls.setItemIndex(list, int(uint8_t(actions[0]) % (count + 1)) - 1);
        actions.remove(0, 1);
    }
    if (!actions.isEmpty()) {
        controls.pauseChecked = actions[0] & 1;
        engine.pauseByDataSizeClicked();
        actions.remove(0, 1);
    }
    const qsizetype split = actions.indexOf('\n');
    controls.timeGap = QString::fromUtf8(split < 0 ? actions : actions.left(split));
    engine.timeGapEdited();
    if (split >= 0) {
        controls.dataSize = QString::fromUtf8(actions.mid(split + 1));
        engine.dataSizeEdited();
        // Typed but not confirmed: the save reads the box as it is.
        controls.dataSize = QString::fromUtf8(actions.mid(split + 1));
    }

    FUZZ_CHECK(!engine.SaveSettings());
    FUZZ_CHECK(fileBytes(path) == recordBytes(engine.settings()));
    FUZZ_CHECK(sameAlignment(engine.settings(), loaded));

    // Apply and save twice more: the first may normalise what the file held
    // (an index that names no item), the second must change nothing.
    engine.ApplySettings(engine.settings());
    FUZZ_CHECK(!engine.SaveSettings());
    const TPortSettings normalised = engine.settings();
    FUZZ_CHECK(fileBytes(path) == recordBytes(normalised));
    engine.ApplySettings(normalised);
    FUZZ_CHECK(!engine.SaveSettings());
    FUZZ_CHECK(engine.settings() == normalised);
    FUZZ_CHECK(sameAlignment(normalised, loaded));
    FUZZ_CHECK(LoadSettings(path) == normalised);
    return 0;
}
