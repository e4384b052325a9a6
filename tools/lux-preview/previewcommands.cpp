#include "tools/lux-preview/previewcommands.h"

#include "effects/engine/effectregistry.h"
#include "tools/lux-preview/previewoutput.h"

#include <QCommandLineParser>
#include <QImage>

#include <vector>

namespace {

// Cell coordinates are 16-bit, so grids stay within that range.
constexpr int maxSide = 32767;

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

// Reads "EFFECT W H P" for an effect of the wanted kind; empty message on success.
QString parseGrid(const QStringList& args, TluxProcKind kind, GridRequest& req)
{
    req.item = ProcList ? ProcList->GetProcs(args[0]) : nullptr;
    if (!req.item)
        return QStringLiteral("unknown effect \"%1\"").arg(args[0]);
    if (req.item->Kind != kind)
        return QStringLiteral("\"%1\" is not a %2 effect")
            .arg(req.item->Name, kind == pkFade ? QStringLiteral("fade") : QStringLiteral("slide"));
    if (!parseNumber(args[1], 1, maxSide, req.width) || !parseNumber(args[2], 1, maxSide, req.height))
        return QStringLiteral("width and height must be whole numbers from 1 to %1").arg(maxSide);
    if (qint64(req.width) * req.height > 64 * 1024 * 1024)
        return QStringLiteral("grid of %1 x %2 cells is too large").arg(req.width).arg(req.height);
    if (!parseNumber(args[3], 0, 100, req.progress))
        return QStringLiteral("progress must be a whole number from 0 to 100");
    return QString();
}

int listCommand(const QCommandLineParser& line, CheckedOutput& out, FILE*)
{
    if (line.isSet(QStringLiteral("comma"))) {
        out.print("%s\n", GetEffectListComma().toUtf8().constData());
        return ExitDone;
    }
    for (const QString& name : *GetEffectList())
        if (!out.print("%s\n", name.toUtf8().constData()))
            break;
    return ExitDone;
}

int maskCommand(const QCommandLineParser& line, CheckedOutput& out, FILE* err)
{
    GridRequest req;
    const QString problem = parseGrid(line.positionalArguments(), pkFade, req);
    if (!problem.isEmpty())
        return fail(err, problem);
    const QString pngFile = line.value(QStringLiteral("png"));
    if (line.isSet(QStringLiteral("png")) && pngFile.isEmpty())
        return fail(err, QStringLiteral("--png needs a file name"));

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

int cellsCommand(const QCommandLineParser& line, CheckedOutput& out, FILE* err)
{
    GridRequest req;
    const QString problem = parseGrid(line.positionalArguments(), pkSlide, req);
    if (!problem.isEmpty())
        return fail(err, problem);

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

QList<PreviewCommand> previewCommands()
{
    return {
        {QStringLiteral("list"), QStringLiteral("list [--comma]"),
         QStringLiteral("Prints the names of the registered effects, one a line."), 0,
         {{QStringLiteral("comma"), QStringLiteral("Print them on one line, separated by commas.")}}, listCommand},
        {QStringLiteral("mask"), QStringLiteral("mask EFFECT W H P [--png FILE]"),
         QStringLiteral("Writes the mask of the fade EFFECT for a W x H picture (1 to %1 each) at progress P "
                        "(0 to 100) as a binary PGM on standard output.").arg(maxSide),
         4, {{QStringLiteral("png"), QStringLiteral("Write a PNG picture to FILE instead."), QStringLiteral("FILE")}},
         maskCommand},
        {QStringLiteral("cells"), QStringLiteral("cells EFFECT W H P"),
         QStringLiteral("Writes the W x H cells of the slide EFFECT at progress P as 6-byte records on standard "
                        "output: alpha, a zero byte, source x and y as little-endian 16-bit numbers."),
         4, {}, cellsCommand},
    };
}
