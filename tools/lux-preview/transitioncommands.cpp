#include "tools/lux-preview/transitioncommands.h"

#include "effects/engine/animationengine.h"
#include "effects/engine/effectregistry.h"
#include "effects/engine/framecomposer.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/engine/luxtimer.h"

#include "platform/canvas.h"
#include "tools/lux-preview/previewoutput.h"

#include <QCommandLineParser>
#include <QDir>
#include <QImage>
#include <QMap>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Contact sheet cells: frames scaled down to fit a square of 240 pixels, a smaller one when
// the transition has more than 100 frames, so that the thumbnails kept for the sheet, and
// the sheet, stay near 2400 x 2400 pixels whatever the picture size and time.
int thumbnailSide(int timeMs)
{
    const double frames = std::max(1.0, double(timeMs) / luxEngineInterval);
    return std::clamp(int(240 * std::sqrt(100 / frames)), 48, 240);
}

int fail(FILE* err, int status, const QString& message)
{
    std::fprintf(err, "lux-preview: %s\n", message.toLocal8Bit().constData());
    return status;
}

bool parseInt(const QString& text, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

struct Transition {
    TluxBitmap source;
    TluxBitmap dest;
    TluxAnimationRec settings;
};

// Fills the transition from the options; an empty result on success, else the problem and the
// exit status for it.
QString loadTransition(const QCommandLineParser& line, Transition& t, int& status)
{
    status = ExitUsage;
    if (!line.isSet(QStringLiteral("from")) || !line.isSet(QStringLiteral("to")) ||
        !line.isSet(QStringLiteral("effect")) || !line.isSet(QStringLiteral("o")))
        return QStringLiteral("--from, --to, --effect and -o are required");

    const QString effect = line.value(QStringLiteral("effect"));
    if (effect != QLatin1String(luxRandomEffectName) && effect != QLatin1String(luxBitmapEffectName) &&
        !(ProcList && ProcList->GetProcs(effect)))
        return QStringLiteral("unknown effect \"%1\"").arg(effect);
    t.settings.Effect = effect;

    int value = 0;
    if (line.isSet(QStringLiteral("resolution"))) {
        if (!parseInt(line.value(QStringLiteral("resolution")), value))
            return QStringLiteral("--resolution must be a whole number");
        t.settings.SetResolution(value);
    }
    if (line.isSet(QStringLiteral("tiles"))) {
        if (!parseInt(line.value(QStringLiteral("tiles")), value))
            return QStringLiteral("--tiles must be a whole number");
        t.settings.SetTileCount(value);
    }
    // Only "play" has --time: asking the parser of "frame" about it would warn on every run.
    if (line.optionNames().contains(QStringLiteral("time"))) {
        if (!parseInt(line.value(QStringLiteral("time")), value))
            return QStringLiteral("--time must be a whole number of milliseconds");
        t.settings.SetTime(value);
    }
    if (line.isSet(QStringLiteral("rotation"))) {
        static const QMap<QString, TluxRotation> rotations{{QStringLiteral("none"), krNone},
                                                           {QStringLiteral("90"), krRotate90},
                                                           {QStringLiteral("180"), krRotate180},
                                                           {QStringLiteral("270"), krRotate270}};
        const QString text = line.value(QStringLiteral("rotation"));
        if (!rotations.contains(text))
            return QStringLiteral("--rotation must be none, 90, 180 or 270");
        t.settings.Rotation = rotations.value(text);
    }

    status = ExitFileError;
    const QString pictures[] = {line.value(QStringLiteral("from")), line.value(QStringLiteral("to"))};
    TluxBitmap* targets[] = {&t.source, &t.dest};
    for (int i = 0; i < 2; ++i) {
        QImage image(pictures[i]);
        if (image.isNull())
            return QStringLiteral("cannot read %1").arg(pictures[i]);
        targets[i]->Assign(image);
    }
    if (line.isSet(QStringLiteral("bitmap"))) {
        const QString file = line.value(QStringLiteral("bitmap"));
        const QImage map(file);
        if (map.isNull())
            return QStringLiteral("cannot read %1").arg(file);
        t.settings.SetBitmap(map);
    }
    status = 0;
    return QString();
}

int frameCommand(const QCommandLineParser& line, CheckedOutput& out, FILE* err)
{
    int P = 0;
    if (!parseInt(line.value(QStringLiteral("progress")), P) || P < 0 || P > 100)
        return fail(err, ExitUsage, QStringLiteral("--progress must be a whole number from 0 to 100"));
    Transition t;
    int status = 0;
    const QString problem = loadTransition(line, t, status);
    if (!problem.isEmpty())
        return fail(err, status, problem);

    TluxAnimationSlot slot;
    if (!prepareAnimationSlot(slot, &t.source, &t.dest, &t.settings))
        return fail(err, ExitUsage, QStringLiteral("the effect has nothing to draw"));
    composeFrame(slot, P);
    settleDestAlpha(slot);
    const QString file = line.value(QStringLiteral("o"));
    const QString written = SavePng(pictureOf(*slot.work), file);
    if (!written.isEmpty())
        return fail(err, ExitFileError, QStringLiteral("cannot write %1: %2").arg(file, written));
    out.print("%s: %s at %d%%, grid %d x %d\n", file.toLocal8Bit().constData(),
              slot.effect ? slot.effect->Name.toUtf8().constData() : luxBitmapEffectName, P, slot.columns, slot.rows);
    return ExitDone;
}

// The engine's clock counts only its 20 ms ticks: the frames are those of a machine that draws
// instantly, the same on every run.
int64_t frozenCounter()
{
    return 0;
}

int64_t frozenFrequency()
{
    return 1000000000;
}

struct CounterRestore {
    LuxCounterSource previous;
    ~CounterRestore() { setLuxCounterSource(previous); }
};

// A frame as the contact sheet shows it: scaled down to fit the thumbnail
// square, colours shown opaque. Only these are kept while a transition plays.
QImage thumbnail(const QImage& frame, int side)
{
    QSize cell = frame.size();
    if (cell.width() > side || cell.height() > side)
        cell = cell.scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return frame.convertToFormat(QImage::Format_RGB32).scaled(cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// All thumbnails in a grid; each is released once drawn.
QImage contactSheet(QList<QImage>& thumbnails)
{
    const int n = int(thumbnails.size());
    const int columns = std::max(1, int(std::ceil(std::sqrt(double(n)))));
    const int rows = (n + columns - 1) / columns;
    const int w = thumbnails.first().width();
    const int h = thumbnails.first().height();
    constexpr int gap = 4;
    QImage sheet(columns * (w + gap) + gap, rows * (h + gap) + gap, QImage::Format_RGB32);
    sheet.fill(Qt::darkGray);
    QPainter painter(&sheet);
    for (int i = 0; i < n; ++i) {
        painter.drawImage(QPoint(gap + (i % columns) * (w + gap), gap + (i / columns) * (h + gap)), thumbnails[i]);
        thumbnails[i] = QImage();
    }
    return sheet;
}

int playTransition(const QCommandLineParser& line, CheckedOutput& out, FILE* err)
{
    Transition t;
    int status = 0;
    const QString problem = loadTransition(line, t, status);
    if (!problem.isEmpty())
        return fail(err, status, problem);
    const QString dir = line.value(QStringLiteral("o"));
    if (!QDir().mkpath(dir))
        return fail(err, ExitFileError, QStringLiteral("cannot create %1").arg(dir));

    // The canvas shows the old picture, as the screen does before a transition.
    QImage screen = pictureOf(t.source);
    DeviceContext dc(&screen);
    TCanvas canvas(&dc);

    const CounterRestore restore{setLuxCounterSource(LuxCounterSource{frozenCounter, frozenFrequency})};
    const int index = StartMultiAnimation(&canvas, 0, 0, &t.source, &t.dest, &t.settings, -1);
    if (!IsAnimating(index))
        return fail(err, ExitUsage, QStringLiteral("the effect has nothing to draw"));
    const QString effectName =
        animationSlot(index).effect ? animationSlot(index).effect->Name : QString::fromLatin1(luxBitmapEffectName);
    // Each frame goes to disk as it is drawn; only its thumbnail stays in memory.
    QList<QImage> thumbnails;
    const int side = thumbnailSide(t.settings.Time);
    while (IsAnimating(index)) {
        const int P = animationProgress(animationSlot(index).clock + float(luxEngineInterval), t.settings.Time);
        MultiObject->OnTimer();
        const QString file =
            QDir(dir).filePath(QStringLiteral("frame%1.png").arg(thumbnails.size() + 1, 3, 10, QLatin1Char('0')));
        const QString written = SavePng(screen, file);
        if (!written.isEmpty() || !out.print("%s  P = %d\n", file.toLocal8Bit().constData(), P)) {
            StopMultiAnimation(index, false);
            if (written.isEmpty())
                return ExitFileError; // standard output failed: the caller says so
            return fail(err, ExitFileError, QStringLiteral("cannot write %1: %2").arg(file, written));
        }
        thumbnails.append(thumbnail(screen, side));
    }
    const qsizetype frames = thumbnails.size();
    const QString sheetFile = QDir(dir).filePath(QStringLiteral("contact-sheet.png"));
    const QString written = SavePng(contactSheet(thumbnails), sheetFile);
    if (!written.isEmpty())
        return fail(err, ExitFileError, QStringLiteral("cannot write %1: %2").arg(sheetFile, written));
    out.print("%s: %lld frames of %s over %d ms\n", sheetFile.toLocal8Bit().constData(),
              static_cast<long long>(frames), effectName.toUtf8().constData(), t.settings.Time);
    return ExitDone;
}

int playCommand(const QCommandLineParser& line, CheckedOutput& out, FILE* err)
{
    // The engine's start-up and shut-down steps, unless the caller has run them already.
    const bool ownEngine = !EngineTimer;
    if (ownEngine)
        StartAnimationEngine();
    const int status = playTransition(line, out, err);
    if (ownEngine)
        ShutDownAnimationEngine();
    return status;
}

// The options frame and play share, before the one each adds and -o.
QList<QCommandLineOption> transitionOptions()
{
    return {
        {QStringLiteral("from"), QStringLiteral("The old picture (required)."), QStringLiteral("A.png")},
        {QStringLiteral("to"), QStringLiteral("The new picture (required)."), QStringLiteral("B.png")},
        {QStringLiteral("effect"), QStringLiteral("The effect, as lux-preview list names it (required)."), QStringLiteral("NAME")},
        {QStringLiteral("resolution"),
         QStringLiteral("Mask resolution, kept within 1 to %1 (default 1).").arg(TluxAnimationRec::maxResolution),
         QStringLiteral("R")},
        {QStringLiteral("tiles"),
         QStringLiteral("Tiles across and down, kept within 1 to %1 (default 1).").arg(TluxAnimationRec::maxTileCount),
         QStringLiteral("T")},
        {QStringLiteral("rotation"), QStringLiteral("Turn the effect (default none)."), QStringLiteral("none|90|180|270")},
        {QStringLiteral("bitmap"), QStringLiteral("Grey-level map of the bitmap effect."), QStringLiteral("MAP.png")},
    };
}

} // namespace

bool isTransitionCommand(const QString& command)
{
    return command == QLatin1String("frame") || command == QLatin1String("play") || command == QLatin1String("gallery");
}

QImage pictureOf(const TluxBitmap& bitmap)
{
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.Height; ++y)
        std::copy_n(bitmap.GetScanLine(y), bitmap.Width, reinterpret_cast<TluxColor*>(image.scanLine(y)));
    return image;
}

QList<PreviewCommand> transitionCommands()
{
    const QString shared = QStringLiteral("--from A.png --to B.png --effect NAME");
    const QString shape = QStringLiteral("[--resolution R] [--tiles T] [--rotation none|90|180|270] [--bitmap MAP.png]");
    return {
        {QStringLiteral("frame"), QStringLiteral("frame %1 --progress P %2 -o OUT.png").arg(shared, shape),
         QStringLiteral("Composes one frame of the transition from picture A to picture B and writes it to OUT.png."),
         0,
         transitionOptions() + QList<QCommandLineOption>{
             {QStringLiteral("progress"), QStringLiteral("How far the transition is, 0 to 100 (required)."),
              QStringLiteral("P")},
             {QStringLiteral("o"), QStringLiteral("The picture to write (required)."), QStringLiteral("OUT.png")}},
         frameCommand},
        {QStringLiteral("play"), QStringLiteral("play %1 [--time MS] %2 -o DIR").arg(shared, shape),
         QStringLiteral("Writes every frame of the transition from picture A to picture B into DIR "
                        "(frame001.png, ...) and a contact sheet of them all (contact-sheet.png)."),
         0,
         transitionOptions() + QList<QCommandLineOption>{
             {QStringLiteral("time"),
              QStringLiteral("How long it lasts, kept within %1 to %2 ms (default %3).")
                  .arg(TluxAnimationRec::minTime)
                  .arg(TluxAnimationRec::maxTime)
                  .arg(TluxAnimationRec::defaultTime),
              QStringLiteral("MS")},
             {QStringLiteral("o"), QStringLiteral("The folder to write into, made if missing (required)."),
              QStringLiteral("DIR")}},
         playCommand},
    };
}
