#include "effects/masks/drawsift.h"

#include "effects/bitmap/dispatch.h"
#include "effects/masks/randomgen.h"

#include <new>
#include <system_error>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// A bit of a set another thread may be writing: read whole, as an atomic.
uint64_t bitOf(const uint64_t* bits, uint32_t index)
{
    const uint64_t word = std::atomic_ref<const uint64_t>(bits[index / 64]).load(std::memory_order_relaxed);
    return word >> (index % 64) & 1;
}

void spinPause()
{
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

} // namespace

namespace drawsift {

// Each draw is written to out and kept by counting it, without a branch per draw: late in an
// order the kept ones are few, earlier on it is a coin toss.
Sifted sift(uint32_t seed, uint32_t n, size_t count, const uint64_t* bits, bool words, uint32_t* out)
{
    alignas(32) uint32_t states[block];
    alignas(32) uint32_t cells[block];
    const auto drawBlock = luxDispatch().drawBlock;
    size_t kept = 0;
    for (size_t drawn = 0; drawn < count; drawn += block) {
        drawBlock(seed, n, states, cells, int(block));
        seed = states[block - 1];
        if (!words) {
            for (size_t i = 0; i < block; ++i) {
                out[kept] = states[i];
                kept += size_t(bitOf(bits, cells[i]) ^ 1);
            }
        } else {
            for (size_t i = 0; i < block; ++i) {
                out[kept] = states[i];
                kept += size_t(bitOf(bits, cells[i] / 64) ^ 1);
            }
        }
    }
    return {kept, seed};
}

} // namespace drawsift

std::unique_ptr<DrawSifter> DrawSifter::ifSecondProcessor()
{
    if (std::thread::hardware_concurrency() < 2)
        return nullptr;
    try {
        return std::make_unique<DrawSifter>();
    } catch (const std::system_error&) {
        return nullptr; // no thread to be had: the order sifts alone
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

DrawSifter::DrawSifter()
    : m_thread([this] { run(); })
{
}

DrawSifter::~DrawSifter()
{
    stop();
    m_quit.store(true);
    m_signal.fetch_add(1);
    m_signal.notify_one();
    m_thread.join();
}

void DrawSifter::start(uint32_t origin, uint32_t n, const uint64_t* seen, const uint64_t* filled, bool words)
{
    m_origin = origin;
    m_n = n;
    m_seen = seen;
    m_filled = filled;
    m_words.store(words);
    for (uint32_t q = 0; q < kSlots; ++q) {
        if (m_states[q].empty())
            m_states[q].resize(runDraws);
        m_ready[q].store(0);
    }
    m_next.store(0);
    m_released.store(0);
    m_active.store(true);
    m_signal.fetch_add(1);
    m_signal.notify_one();
}

void DrawSifter::siftWords()
{
    m_words.store(true);
}

// The sifter announces it is busy before it looks whether it may take a run, and stop() ends
// the runs before it looks whether the sifter is busy, so one of them sees the other.
void DrawSifter::stop()
{
    m_active.store(false);
    for (int spin = 0; m_busy.load(); ++spin) {
        if (spin < 128) {
            spinPause();
            continue;
        }
        const uint32_t finished = m_finished.load();
        if (m_busy.load())
            m_finished.wait(finished);
    }
}

bool DrawSifter::claim(uint32_t& index)
{
    uint32_t next = m_next.load();
    while (next < m_released.load() + kSlots)
        if (m_next.compare_exchange_weak(next, next + 1)) {
            index = next;
            return true;
        }
    return false;
}

void DrawSifter::siftRun(uint32_t index)
{
    const uint32_t seed = advanceSeed(m_origin, uint64_t(index) * runDraws);
    const bool words = m_words.load(std::memory_order_acquire);
    const uint32_t q = index % kSlots;
    m_sifted[q] = drawsift::sift(seed, m_n, runDraws, words ? m_filled : m_seen, words, m_states[q].data());
    m_ready[q].store(index + 1, std::memory_order_release);
}

DrawSifter::Run DrawSifter::take(uint32_t index)
{
    const uint32_t q = index % kSlots;
    for (int spin = 0;;) {
        const uint32_t finished = m_finished.load();
        if (m_ready[q].load(std::memory_order_acquire) == index + 1)
            return {m_states[q].data(), m_sifted[q]};
        uint32_t own = 0;
        if (claim(own)) {
            siftRun(own);
            continue;
        }
        // Every slot is taken and the run wanted is in the sifter's hands.
        if (spin++ < 128)
            spinPause();
        else
            m_finished.wait(finished);
    }
}

void DrawSifter::release(uint32_t index)
{
    m_released.store(index + 1);
    m_signal.fetch_add(1);
    m_signal.notify_one();
}

void DrawSifter::run()
{
    for (;;) {
        const uint32_t signal = m_signal.load();
        if (m_quit.load())
            return;
        m_busy.store(true);
        uint32_t index = 0;
        if (m_active.load() && claim(index)) {
            siftRun(index);
            m_busy.store(false);
            m_finished.fetch_add(1);
            m_finished.notify_all();
            continue;
        }
        m_busy.store(false);
        m_finished.fetch_add(1);
        m_finished.notify_all();
        // A slot is freed every run the order's thread examines: a spin spares the sifter most
        // sleeps and wake-ups while runs are under way.
        for (int spin = 0; spin < 1024 && m_signal.load(std::memory_order_relaxed) == signal; ++spin)
            spinPause();
        m_signal.wait(signal);
    }
}
