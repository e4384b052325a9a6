#include "tools/lux-preview/gallerycommand.h"

#include "effects/engine/effectregistry.h"
#include "effects/engine/framecomposer.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"
#include "tools/lux-preview/previewoutput.h"
#include "tools/lux-preview/transitioncommands.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRegularExpression>

#include <cmath>

namespace {

constexpr int progresses[] = {25, 50, 75};
constexpr int gap = 8;
constexpr int labelHeight = 22;

// What the screen shows before a window appears: a desktop of diagonal bands.
QImage desktopPicture(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(24, 62, 120));
    sky.setColorAt(1, QColor(60, 140, 170));
    p.fillRect(image.rect(), sky);
    p.setPen(QPen(QColor(255, 255, 255, 40), 6));
    for (int x = -size.height(); x < size.width(); x += 24)
        p.drawLine(x, size.height(), x + size.height(), 0);
    return image;
}

// The window that appears: a light dialog with a title, lines of text and a button.
QImage windowPicture(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    QPainter p(&image);
    p.fillRect(image.rect(), QColor(236, 233, 216));
    const int bar = std::max(12, size.height() / 8);
    p.fillRect(0, 0, size.width(), bar, QColor(10, 36, 106));
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(bar * 2 / 3);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(6, 0, size.width() - 12, bar), Qt::AlignVCenter, QStringLiteral("Lux"));
    p.setPen(QColor(60, 60, 60));
    for (int y = bar + 12; y < size.height() - 3 * bar; y += 10)
        p.drawLine(12, y, size.width() - 12 - (y * 7) % (size.width() / 3), y);
    const QRect button(size.width() - 12 - size.width() / 4, size.height() - 2 * bar, size.width() / 4, bar + 2);
    p.fillRect(button, QColor(212, 208, 200));
    p.setPen(Qt::black);
    p.drawRect(button.adjusted(0, 0, -1, -1));
    return image;
}

struct Pictures {
    TluxBitmap source;
    TluxBitmap dest;
};

// One frame of the effect at P, composed as `lux-preview frame` composes it.
QImage frameAt(Pictures& pictures, const QString& effect, int P)
{
    // A frame leaves the mask in the pictures' alpha; each starts from opaque pictures, as a
    // transition's own pictures do.
    pictures.source.SetAlpha(255);
    pictures.dest.SetAlpha(255);
    TluxAnimationRec settings;
    settings.Effect = effect;
    TluxAnimationSlot slot;
    if (!prepareAnimationSlot(slot, &pictures.source, &pictures.dest, &settings))
        return QImage();
    composeFrame(slot, P);
    settleDestAlpha(slot);
    QImage frame = pictureOf(*slot.work).convertToFormat(QImage::Format_RGB32);
    releaseAnimationSlot(slot);
    return frame;
}

void label(QPainter& p, const QRect& r, const QString& text, bool bold)
{
    QFont font = p.font();
    font.setPixelSize(13);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(QColor(30, 30, 30));
    p.drawText(r, Qt::AlignCenter, text);
}

// The effect's three frames side by side, its name above them and each
// frame's progress below it.
QImage effectPicture(const QString& name, const QList<QImage>& frames)
{
    const QSize f = frames.first().size();
    QImage picture(gap + int(frames.size()) * (f.width() + gap), labelHeight + f.height() + labelHeight + gap,
                   QImage::Format_RGB32);
    picture.fill(QColor(250, 250, 250));
    QPainter p(&picture);
    label(p, QRect(0, 0, picture.width(), labelHeight), name, true);
    for (int i = 0; i < frames.size(); ++i) {
        const int x = gap + i * (f.width() + gap);
        p.drawImage(x, labelHeight, frames[i]);
        label(p, QRect(x, labelHeight + f.height(), f.width(), labelHeight), QStringLiteral("%1 %").arg(progresses[i]),
              false);
    }
    return picture;
}

// Every effect's middle frame, a third of its size, with its name, in a grid.
QImage contactSheet(const QList<std::pair<QString, QImage>>& middles)
{
    const int n = int(middles.size());
    const int columns = std::max(1, int(std::ceil(std::sqrt(double(n) * 1.3))));
    const int rows = (n + columns - 1) / columns;
    const QSize cell = middles.first().second.size() / 2;
    const int w = cell.width() + gap, h = cell.height() + labelHeight + gap;
    QImage sheet(gap + columns * w, gap + rows * h, QImage::Format_RGB32);
    sheet.fill(QColor(250, 250, 250));
    QPainter p(&sheet);
    for (int i = 0; i < n; ++i) {
        const int x = gap + (i % columns) * w, y = gap + (i / columns) * h;
        p.drawImage(x, y, middles[i].second.scaled(cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        QFont font = p.font();
        font.setPixelSize(10);
        p.setFont(font);
        p.setPen(QColor(30, 30, 30));
        // Names longer than the picture reach into the gap beside it.
        p.drawText(QRect(x - gap / 2, y + cell.height(), cell.width() + gap, labelHeight), Qt::AlignCenter,
                   middles[i].first);
    }
    return sheet;
}

QString htmlEscaped(const QString& text)
{
    return text.toHtmlEscaped();
}

int fail(FILE* err, int status, const QString& message)
{
    std::fprintf(err, "lux-preview: %s\n", message.toLocal8Bit().constData());
    return status;
}

int galleryCommand(const QCommandLineParser& line, CheckedOutput& out, FILE* err)
{
    QSize size(200, 150);
    if (line.isSet(QStringLiteral("size"))) {
        const auto m = QRegularExpression(QStringLiteral("^(\\d{1,4})x(\\d{1,4})$")).match(line.value(QStringLiteral("size")));
        if (!m.hasMatch() || m.captured(1).toInt() < 16 || m.captured(2).toInt() < 16)
            return fail(err, ExitUsage, QStringLiteral("--size must be WxH, each at least 16 (e.g. 200x150)"));
        size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    }
    const QDir dir(line.positionalArguments().value(0));
    if (!QDir().mkpath(dir.path()))
        return fail(err, ExitFileError, QStringLiteral("cannot create %1").arg(dir.path()));

    Pictures pictures;
    pictures.source.Assign(desktopPicture(size));
    pictures.dest.Assign(windowPicture(size));
    QList<std::pair<QString, QImage>> middles;
    QString items;
    for (int i = 0; ProcList && i < ProcList->Count(); ++i) {
        const TluxProcItem* item = ProcList->Items(i);
        const QString bare = item->Name.mid(kindPrefix(item->Kind).size());
        QList<QImage> frames;
        for (const int P : progresses)
            frames.append(frameAt(pictures, item->Name, P));
        if (frames.contains(QImage()))
            return fail(err, ExitUsage, QStringLiteral("%1 has nothing to draw").arg(item->Name));
        const QString file = QStringLiteral("%1-%2.png").arg(i + 1, 2, 10, QLatin1Char('0')).arg(bare);
        const QString written = SavePng(effectPicture(item->Name, frames), dir.filePath(file));
        if (!written.isEmpty())
            return fail(err, ExitFileError, QStringLiteral("cannot write %1: %2").arg(dir.filePath(file), written));
        if (!out.print("%s\n", dir.filePath(file).toLocal8Bit().constData()))
            return ExitFileError; // the caller says why
        middles.append({bare, frames[1]});
        items += QStringLiteral("<figure><img src=\"%1\" alt=\"%2\"><figcaption>%2</figcaption></figure>\n")
                     .arg(htmlEscaped(file), htmlEscaped(item->Name));
    }
    if (middles.isEmpty())
        return fail(err, ExitUsage, QStringLiteral("no effects are registered"));
    const QString sheetFile = dir.filePath(QStringLiteral("contact-sheet.png"));
    const QString sheetWritten = SavePng(contactSheet(middles), sheetFile);
    if (!sheetWritten.isEmpty())
        return fail(err, ExitFileError, QStringLiteral("cannot write %1: %2").arg(sheetFile, sheetWritten));

    const QString page =
        QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>The %1 transitions</title>\n"
                       "<style>body{font-family:sans-serif;background:#fafafa}figure{display:inline-block;margin:8px}"
                       "figcaption{text-align:center}</style></head>\n<body><h1>The %1 transitions</h1>\n"
                       "<p>Each picture shows an effect at 25, 50 and 75 % of its course, from a desktop to a "
                       "window. <a href=\"contact-sheet.png\">All at once</a>.</p>\n%2</body></html>\n")
            .arg(middles.size())
            .arg(items);
    const QString indexFile = dir.filePath(QStringLiteral("index.html"));
    QFile index(indexFile);
    if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate) || index.write(page.toUtf8()) < 0 || !index.flush())
        return fail(err, ExitFileError, QStringLiteral("cannot write %1: %2").arg(indexFile, index.errorString()));
    out.print("%s: %lld effects\n", indexFile.toLocal8Bit().constData(), static_cast<long long>(middles.size()));
    return ExitDone;
}

} // namespace

QList<PreviewCommand> galleryCommands()
{
    return {
        {QStringLiteral("gallery"), QStringLiteral("gallery DIR [--size WxH]"),
         QStringLiteral("Writes a picture per effect into DIR (its frames at 25, 50 and 75 %, labelled), a contact "
                        "sheet of every effect (contact-sheet.png) and a page showing them all (index.html)."),
         1,
         {{QStringLiteral("size"), QStringLiteral("Size of each frame (default 200x150)."), QStringLiteral("WxH")}},
         galleryCommand},
    };
}
