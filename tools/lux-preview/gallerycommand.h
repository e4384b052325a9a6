#pragma once
// The previewer's gallery: one picture per effect and a page showing them all.
//
//   lux-preview gallery DIR [--size WxH]

#include "tools/lux-preview/previewcommandline.h"

// "gallery": writes DIR/NN-Name.png for each registered effect (its frames at
// 25, 50 and 75 % side by side, labelled), DIR/contact-sheet.png (every effect
// at 50 % with its name) and DIR/index.html. Exit status as the other
// commands': ExitDone, ExitUsage, ExitFileError.
QList<PreviewCommand> galleryCommands();
