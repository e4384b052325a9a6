#include "app/transfer/portsettings.h"

#include "app/transfer/sidefile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TPortSettings LoadSettings(const QString& path)
{
    const std::optional<QByteArray> bytes = ReadSideFile(path);
    TPortSettings settings;
    if (!bytes || bytes->size() < qsizetype(sizeof settings))
        return TPortSettings();
    std::memcpy(&settings, bytes->constData(), sizeof settings);
    return settings;
}

bool WriteSettingsFile(const QString& path, const TPortSettings& settings, int* errorNumber)
{
    // Written beside the file and renamed over it: a failed or cut-off write
    // leaves the old file whole, never a truncated one.
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    bool written = fd >= 0;
    int error = written ? 0 : errno;
    if (written) {
        ::fchmod(fd, 0644);
        written = ::write(fd, &settings, sizeof settings) == ssize_t(sizeof settings);
        if (!written)
            error = errno ? errno : ENOSPC;
        if (written && ::fsync(fd) != 0) {
            written = false;
            error = errno;
        }
        if (::close(fd) != 0 && written) {
            written = false;
            error = errno;
        }
        if (written && ::rename(temporary.constData(), target.constData()) != 0) {
            written = false;
            error = errno;
        }
        if (!written)
            ::unlink(temporary.constData());
    }
    if (errorNumber)
        *errorNumber = error;
    return written;
}

QString ConfigPathIn(const QString& executableDir)
{
    return QDir(executableDir).filePath(QStringLiteral("Config.dat"));
}

namespace {

QStringList baudRates()
{
    QStringList rates;
    for (int k = 0, baud = 300; k < 8; ++k, baud *= 2)
        rates << QString::number(baud);
    rates << QStringLiteral("43000") << QStringLiteral("56000") << QStringLiteral("57600")
          << QStringLiteral("115200") << QStringLiteral("128000") << QStringLiteral("153600")
          << QStringLiteral("230400") << QStringLiteral("250000") << QStringLiteral("256000")
          << QStringLiteral("460800") << QStringLiteral("500000") << QStringLiteral("576000")
          << QStringLiteral("921600");
    return rates;
}

} // namespace

// Built once: every load, save and box change looks items up here.
const QStringList& ListItems(SettingsList list)
{
    static const QStringList ports {QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                                    QStringLiteral("COM4"), QStringLiteral("COM5"), QStringLiteral("COM6"),
                                    QStringLiteral("COM7"), QStringLiteral("COM8")};
    static const QStringList rates = baudRates();
    static const QStringList parities {QStringLiteral("no parity"), QStringLiteral("odd"), QStringLiteral("even"),
                                       QStringLiteral("mark"), QStringLiteral("space")};
    static const QStringList byteSizes {QStringLiteral("8"), QStringLiteral("7"), QStringLiteral("6")};
    static const QStringList stopBits {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};
    switch (list) {
    case SettingsList::Port: return ports;
    case SettingsList::Baud: return rates;
    case SettingsList::Parity: return parities;
    case SettingsList::ByteSize: return byteSizes;
    case SettingsList::StopBits: break;
    }
    return stopBits;
}

int ItemIndexFor(SettingsList list, uint8_t stored)
{
    return stored < ListItems(list).size() ? stored : -1;
}

uint8_t StoredIndexFor(int itemIndex)
{
    return static_cast<uint8_t>(itemIndex & 0xFF);
}
