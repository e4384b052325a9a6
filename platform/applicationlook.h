#pragma once
// The look the tool and its tests run with: the classic "Windows" style and a
// sans font at 8 pt, so off-screen grabs and metrics match what is on screen.

void ApplyToolLook();
