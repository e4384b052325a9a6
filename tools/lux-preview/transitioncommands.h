#pragma once
// The previewer's whole-transition commands: one composed frame, or every frame of a transition.
//
//   lux-preview frame --from A.png --to B.png --effect NAME --progress P [--resolution R]
//                     [--tiles T] [--rotation none|90|180|270] [--bitmap MAP.png] -o OUT.png
//   lux-preview play --from A.png --to B.png --effect NAME [--time MS] [--resolution R]
//                    [--tiles T] [--rotation none|90|180|270] [--bitmap MAP.png] -o DIR

#include "tools/lux-preview/previewcommandline.h"

class QImage;
class TluxBitmap;

// Whether `command` draws pictures (and needs the GUI library's platform layer): frame,
// play and gallery.
bool isTransitionCommand(const QString& command);

// The bitmap's pixels as a 32-bit picture.
QImage pictureOf(const TluxBitmap& bitmap);

// "frame" and "play". Exit status as the other commands': ExitDone, ExitUsage on a usage
// error, ExitFileError when a picture cannot be read or written. "play" writes each frame
// as it is drawn and keeps only thumbnails for the contact sheet.
QList<PreviewCommand> transitionCommands();
