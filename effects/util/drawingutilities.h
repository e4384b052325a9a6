#pragma once
// The drawing utilities of the effects library in one include, and their start-up step.

#include "effects/util/codepages.h"
#include "effects/util/controlgeometry.h"
#include "effects/util/cpufeatures.h"
#include "effects/util/halftonebrush.h"
#include "effects/util/keyboardrepeat.h"
#include "effects/util/mousecapture.h"
#include "effects/util/pixelformat.h"
#include "effects/util/rectutils.h"
#include "effects/util/streamstrings.h"
#include "effects/util/tokenizer.h"

// Measures the screen's pixel format (CPixelFormat). Runs once per process; later
// calls do nothing. Call it after the application object exists and before the
// first window.
void startDrawingUtilities();
