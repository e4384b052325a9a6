#include "app/cli/runreport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QSaveFile>

namespace {

QJsonValue numberOrNull(const std::optional<qint64>& value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonObject fileObject(const RunReport& report)
{
    const FirmwareFile& file = report.file;
    const auto address = [](const std::optional<quint64>& value) {
        return numberOrNull(value ? std::optional<qint64>(qint64(*value)) : std::nullopt);
    };
    return {
        {QStringLiteral("path"), report.filePath},
        {QStringLiteral("bytes"), numberOrNull(file.readAhead ? std::optional<qint64>(file.bytes) : std::nullopt)},
        {QStringLiteral("sha256"), file.readAhead ? QJsonValue(QString::fromLatin1(file.sha256)) : QJsonValue()},
        {QStringLiteral("format"), FirmwareFormatKey(file.check.format)},
        {QStringLiteral("first_address"), address(file.check.firstAddress)},
        {QStringLiteral("last_address"), address(file.check.lastAddress)},
        {QStringLiteral("check"), report.check},
    };
}

QJsonObject settingsObject(const SendSettings& settings)
{
    return {
        {QStringLiteral("baud"), numberOrNull(settings.baud)},
        {QStringLiteral("gap"), settings.gapMs},
        {QStringLiteral("block"), settings.blockSize ? QJsonValue(*settings.blockSize) : QJsonValue()},
        {QStringLiteral("parity"), ParityName(settings.format.parity)},
        {QStringLiteral("data_bits"), DataBitsName(settings.format.dataBits).toInt()},
        {QStringLiteral("stop_bits"), StopBitsName(settings.format.stopBits).toInt()},
        {QStringLiteral("flow"), FlowName(settings.format.flow)},
        {QStringLiteral("wait_for"),
         settings.waitFor.isEmpty() ? QJsonValue() : QJsonValue(QString::fromUtf8(settings.waitFor))},
        {QStringLiteral("reply_timeout"), settings.replyTimeoutMs},
    };
}

QJsonObject portObject(const ReportedPort& port)
{
    return {
        {QStringLiteral("port"), port.port},
        {QStringLiteral("bytes"), port.bytes},
        {QStringLiteral("packets"), port.packets},
        {QStringLiteral("seconds"), port.seconds},
        {QStringLiteral("result"), port.result},
        {QStringLiteral("status"), port.status},
        {QStringLiteral("replies"), QString::fromUtf8(port.replies)},
    };
}

} // namespace

QJsonDocument ReportDocument(const RunReport& report)
{
    QJsonArray ports;
    for (const ReportedPort& port : report.ports)
        ports.append(portObject(port));
    return QJsonDocument(QJsonObject {
        {QStringLiteral("tool"), QStringLiteral("flashupdate-cli " FLASHUPDATE_VERSION)},
        {QStringLiteral("started"), report.started.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("file"), fileObject(report)},
        {QStringLiteral("settings"), settingsObject(report.settings)},
        {QStringLiteral("ports"), ports},
        {QStringLiteral("exit"), report.exitStatus},
    });
}

std::optional<QString> WriteReport(const QString& path, const RunReport& report)
{
    // QSaveFile writes a temporary file beside `path` and renames it over
    // `path` on commit; a failed write leaves whatever was there.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray json = ReportDocument(report).toJson(QJsonDocument::Indented);
    if (file.write(json) != json.size() || !file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> ReportPathMistake(const QString& path)
{
    const QFileInfo report(path);
    const QFileInfo folder(report.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("--report %1: the folder %2 does not exist").arg(path, folder.filePath());
    if (!folder.isWritable())
        return QStringLiteral("--report %1: the folder %2 is not writable").arg(path, folder.filePath());
    if (report.isDir())
        return QStringLiteral("--report %1: is a folder").arg(path);
    return std::nullopt;
}
