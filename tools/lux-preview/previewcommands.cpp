#include "tools/lux-preview/previewcommands.h"

#include "effects/engine/effectregistry.h"
#include "tools/lux-preview/previewoutput.h"

#include <QImage>

#include <vector>

namespace {

// Cell coordinates are 16-bit, so grids stay within that range.
constexpr int maxSide = 32767;

const char* usageText =
    "usage: lux-preview list [--comma] | mask EFFECT W H P [--png FILE] | cells EFFECT W H P";

int fail(FILE* err, const QString& message)
{
    std::fprintf(err, "lux-preview: %s\n", message.toLocal8Bit().constData());
    return ExitUsage;
}

struct GridRequest {
    TluxProcItem* item = nullptr;
    int width = 0;
    int height = 0;
    int progress = 0;
};

bool parseNumber(const QString& text, int lo, int hi, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= lo && value <= hi;
}

// Parses "EFFECT W H P" at args[1..4] for an effect of the wanted kind; empty message on success.
QString parseGrid(const QStringList& args, TluxProcKind kind, GridRequest& req)
{
    if (args.size() < 5)
        return QString::fromLatin1(usageText);
    req.item = ProcList ? ProcList->GetProcs(args[1]) : nullptr;
    if (!req.item)
        return QStringLiteral("unknown effect \"%1\"").arg(args[1]);
    if (req.item->Kind != kind)
        return QStringLiteral("\"%1\" is not a %2 effect")
            .arg(req.item->Name, kind == pkFade ? QStringLiteral("fade") : QStringLiteral("slide"));
    if (!parseNumber(args[2], 1, maxSide, req.width) || !parseNumber(args[3], 1, maxSide, req.height))
        return QStringLiteral("width and height must be whole numbers from 1 to %1").arg(maxSide);
    if (qint64(req.width) * req.height > 64 * 1024 * 1024)
        return QStringLiteral("grid of %1 x %2 cells is too large").arg(req.width).arg(req.height);
    if (!parseNumber(args[4], 0, 100, req.progress))
        return QStringLiteral("progress must be a whole number from 0 to 100");
    return QString();
}

int listCommand(const QStringList& args, CheckedOutput& out, FILE* err)
{
    if (args.size() == 1) {
        for (const QString& name : *GetEffectList())
            if (!out.print("%s\n", name.toUtf8().constData()))
                break;
        return ExitDone;
    }
    if (args.size() == 2 && args[1] == QLatin1String("--comma")) {
        out.print("%s\n", GetEffectListComma().toUtf8().constData());
        return ExitDone;
    }
    return fail(err, QString::fromLatin1(usageText));
}

int maskCommand(const QStringList& args, CheckedOutput& out, FILE* err)
{
    GridRequest req;
    const QString problem = parseGrid(args, pkFade, req);
    if (!problem.isEmpty())
        return fail(err, problem);
    QString pngFile;
    if (args.size() == 7 && args[5] == QLatin1String("--png"))
        pngFile = args[6];
    else if (args.size() != 5)
        return fail(err, QString::fromLatin1(usageText));

    std::vector<uint8_t> mask(size_t(req.width) * size_t(req.height), 0);
    req.item->fadeProc()(mask.data(), req.width, req.height, uint8_t(req.progress));

    if (!pngFile.isEmpty()) {
        QImage image(req.width, req.height, QImage::Format_Grayscale8);
        for (int y = 0; y < req.height; ++y)
            std::copy_n(mask.data() + size_t(y) * size_t(req.width), req.width, image.scanLine(y));
        const QString problem = SavePng(image, pngFile);
        if (!problem.isEmpty()) {
            std::fprintf(err, "lux-preview: cannot write %s: %s\n", pngFile.toLocal8Bit().constData(),
                         problem.toLocal8Bit().constData());
            return ExitFileError;
        }
        return ExitDone;
    }
    if (out.print("P5\n%d %d\n255\n", req.width, req.height))
        out.write(mask.data(), mask.size());
    return ExitDone;
}

int cellsCommand(const QStringList& args, CheckedOutput& out, FILE* err)
{
    GridRequest req;
    const QString problem = parseGrid(args, pkSlide, req);
    if (!problem.isEmpty())
        return fail(err, problem);
    if (args.size() != 5)
        return fail(err, QString::fromLatin1(usageText));

    const size_t count = size_t(req.width) * size_t(req.height);
    std::vector<TluxCell> cells(count, TluxCell{0, 0, 0, 0});
    req.item->slideProc()(cells.data(), req.width, req.height, uint8_t(req.progress));

    // Written field by field: alpha, a zero byte, source x and y as little-endian 16-bit.
    std::vector<uint8_t> bytes(count * 6);
    for (size_t i = 0; i < count; ++i) {
        uint8_t* b = bytes.data() + i * 6;
        const uint16_t sx = uint16_t(cells[i].SourceX), sy = uint16_t(cells[i].SourceY);
        b[0] = cells[i].Alpha;
        b[1] = 0;
        b[2] = uint8_t(sx & 0xFF);
        b[3] = uint8_t(sx >> 8);
        b[4] = uint8_t(sy & 0xFF);
        b[5] = uint8_t(sy >> 8);
    }
    out.write(bytes.data(), bytes.size());
    return ExitDone;
}

} // namespace

int runPreview(const QStringList& args, CheckedOutput& out, FILE* err)
{
    if (args.isEmpty())
        return fail(err, QString::fromLatin1(usageText));
    const QString& command = args[0];
    if (command == QLatin1String("list"))
        return listCommand(args, out, err);
    if (command == QLatin1String("mask"))
        return maskCommand(args, out, err);
    if (command == QLatin1String("cells"))
        return cellsCommand(args, out, err);
    return fail(err, QStringLiteral("unknown command \"%1\"").arg(command));
}
