#pragma once
// TluxTimer: a high-resolution stopwatch over the monotonic clock.
//
// The counter it reads is replaceable (setLuxCounterSource) so that tests can
// drive the animation engine with a clock they control.

#include <cstdint>

// The counter: ticks since an arbitrary origin, and ticks per second.
struct LuxCounterSource {
    int64_t (*Read)() = nullptr;
    int64_t (*Frequency)() = nullptr;
};

// The counter every TluxTimer reads: std::chrono::steady_clock in nanoseconds.
LuxCounterSource luxSteadyCounter();
// Replaces the counter for timers created afterwards; returns the one it replaces.
LuxCounterSource setLuxCounterSource(LuxCounterSource source);
LuxCounterSource luxCounterSource();

class TluxTimer
{
public:
    // Measures the overhead of a counter read (CalibrateWindows), then reads the frequency.
    TluxTimer();

    int64_t StartCount = 0;
    int64_t StopCount = 0;
    int64_t Frequency = 0; // counter ticks per second
    int64_t Overhead = 0;  // ticks between two back-to-back counter reads

    // Reads the counter twice in a row and keeps the difference as Overhead.
    void CalibrateWindows();
    int64_t GetFrequency();
    void Start();
    void Stop();
    // (StopCount - StartCount - Overhead) / Frequency, in seconds.
    long double GetElapsed() const;

private:
    LuxCounterSource m_counter;
};

// Creates T when it is null, then starts it.
void StartTimer(TluxTimer*& T);
// Seconds since StartTimer; 0 when T is null. T stays alive for the caller to free or reuse.
float StopTimer(TluxTimer*& T);
