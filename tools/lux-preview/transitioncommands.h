#pragma once
// The previewer's whole-transition commands: one composed frame, or every frame of a transition.
//
//   lux-preview frame --from A.png --to B.png --effect NAME --progress P [--resolution R]
//                     [--tiles T] [--rotation none|90|180|270] [--bitmap MAP.png] -o OUT.png
//   lux-preview play --from A.png --to B.png --effect NAME [--time MS] [--resolution R]
//                    [--tiles T] [--rotation none|90|180|270] [--bitmap MAP.png] -o DIR

#include <QStringList>

#include <cstdio>

bool isTransitionCommand(const QString& command);

// Runs "frame" or "play" (args without the program name). Exit status as runPreview: 0 on
// success, 2 on a usage error, 1 when a picture cannot be read or written.
int runTransitionCommand(const QStringList& args, FILE* out, FILE* err);
