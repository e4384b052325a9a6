#include "effects/engine/luxtimer.h"

#include <chrono>

namespace {

int64_t steadyRead()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t steadyFrequency()
{
    return 1000000000;
}

LuxCounterSource currentSource{steadyRead, steadyFrequency};

} // namespace

LuxCounterSource luxSteadyCounter()
{
    return LuxCounterSource{steadyRead, steadyFrequency};
}

LuxCounterSource setLuxCounterSource(LuxCounterSource source)
{
    const LuxCounterSource previous = currentSource;
    currentSource = (source.Read && source.Frequency) ? source : luxSteadyCounter();
    return previous;
}

LuxCounterSource luxCounterSource()
{
    return currentSource;
}

TluxTimer::TluxTimer()
    : m_counter(currentSource)
{
    CalibrateWindows();
    GetFrequency();
}

void TluxTimer::CalibrateWindows()
{
    StartCount = m_counter.Read();
    StopCount = m_counter.Read();
    Overhead = StopCount - StartCount;
}

int64_t TluxTimer::GetFrequency()
{
    Frequency = m_counter.Frequency();
    return Frequency;
}

void TluxTimer::Start()
{
    StartCount = m_counter.Read();
}

void TluxTimer::Stop()
{
    StopCount = m_counter.Read();
}

long double TluxTimer::GetElapsed() const
{
    if (Frequency <= 0)
        return 0;
    return static_cast<long double>(StopCount - StartCount - Overhead) / static_cast<long double>(Frequency);
}

void StartTimer(TluxTimer*& T)
{
    if (!T)
        T = new TluxTimer;
    T->Start();
}

float StopTimer(TluxTimer*& T)
{
    if (!T)
        return 0;
    T->Stop();
    return static_cast<float>(T->GetElapsed());
}
