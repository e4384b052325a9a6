#pragma once
// Keyboard repeat timings on the classic settings scales: the delay setting 0..3
// and the speed setting 0..31, read from the window system's key-repeat settings.

// The window system's key repeat: delay before the first repeat and the time
// between repeats, in milliseconds. X11 answers from the keyboard extension;
// elsewhere the X server defaults (660 ms) and the style hints' repeat rate apply.
struct KeyRepeatTiming {
    int delayMs = 660;
    int intervalMs = 40;
};
KeyRepeatTiming platformKeyRepeat();

// The delay setting (0..3) whose delay, (v + 1) * 200 ms, is nearest to delayMs.
int keyboardDelaySetting(int delayMs);
// The speed setting (0..31) whose interval, 1000 / ((v + 1) * 2.3) ms, is nearest
// to intervalMs.
int keyboardSpeedSetting(int intervalMs);

// (v + 1) * 200 for the delay setting v: 200, 400, 600 or 800 ms.
int keyboardDelayForSetting(int v);
// 1000 / ((v + 1) * 2.3) rounded half to even for the speed setting v: 435 ms for 0, 14 for 31.
int keyboardSpeedForSetting(int v);

// The platform's repeat delay mapped onto the delay setting, in milliseconds.
int GetKeyBoardDelayInterval();
// The platform's repeat interval mapped onto the speed setting, in milliseconds.
int GetKeyBoardSpeedInterval();
