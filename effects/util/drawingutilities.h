#pragma once
// The drawing utilities of the effects library in one include, and their start-up step.

#include "codepages.h"
#include "controlgeometry.h"
#include "cpufeatures.h"
#include "halftonebrush.h"
#include "keyboardrepeat.h"
#include "mousecapture.h"
#include "pixelformat.h"
#include "rectutils.h"
#include "streamstrings.h"
#include "tokenizer.h"

// Measures the screen's pixel format (CPixelFormat) and the processor's MMX
// feature (MmxAvailable). Runs once per process; later calls do nothing. Call it
// after the application object exists and before the first window.
void startDrawingUtilities();
