#pragma once
// The previewer's commands on the effect procedures alone: list, mask and cells.

#include "tools/lux-preview/previewcommandline.h"

// Each command's exit status: ExitDone, ExitUsage on a usage error (one line on `err`),
// ExitFileError when an output file cannot be written. A failed write to standard output
// ends the command; the caller reports it.
QList<PreviewCommand> previewCommands();
