#pragma once
// Picking out the draws of a pixel order that may meet a cell not seen yet, on this thread or on a
// second one.
//
// Late in an order almost every draw meets a cell already seen. A run of draws is made a block
// at a time and sifted through bit sets (the cells seen, or the words of them that are full); the
// few draws kept are then examined in draw order against the real seen bits by the order's own
// thread. Since the states of any run can be had without drawing the ones before it, two threads
// can sift the two halves of a run at once. The bits may be set by the examining thread while a
// sift reads them: a bit read before it was set only keeps one draw more, and a bit set is final.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace drawsift {

constexpr size_t block = 1024; // draws made at once

struct Sifted {
    size_t kept;   // states written to out
    uint32_t last; // the state of the last draw of the run
};

// Draws `count` (a multiple of block) states from seed and keeps in out, in draw order, those
// whose cell (words false) or whose word of 64 cells (words true) has a clear bit in `bits`.
Sifted sift(uint32_t seed, uint32_t n, size_t count, const uint64_t* bits, bool words, uint32_t* out);

} // namespace drawsift

// A second thread sharing the sift of an order's draws with the order's thread, which examines
// them. The draws from an origin are cut into runs of `runDraws`; either thread takes the next
// run not taken yet, up to kSlots runs past the last one examined, and sifts it into that run's
// slot. The order's thread takes the runs in order: it sifts runs itself while the next one to
// examine is not ready, and waits only when every slot is taken, so a sifter that gets no
// processor costs little more than the slots it holds.
class DrawSifter
{
public:
    static constexpr size_t runDraws = 16 * drawsift::block;
    static constexpr uint32_t kSlots = 8;

    // A sifter where a second processor is, or null.
    static std::unique_ptr<DrawSifter> ifSecondProcessor();

    DrawSifter();
    ~DrawSifter(); // after the run in hand
    DrawSifter(const DrawSifter&) = delete;
    DrawSifter& operator=(const DrawSifter&) = delete;

    // Runs from `origin` of a grid of n, sifted through the seen bits or, once words is set, the
    // filled bits of the words. The sifter must be stopped.
    void start(uint32_t origin, uint32_t n, const uint64_t* seen, const uint64_t* filled, bool words);
    void siftWords(); // from the runs taken next on

    struct Run {
        const uint32_t* states;
        drawsift::Sifted sifted;
    };
    // Run `index`, the one after the last released (the first is 0): valid until released.
    Run take(uint32_t index);
    void release(uint32_t index);

    // Takes no more runs and waits for the one in hand: the bits may then change in any way.
    void stop();

private:
    void run();
    bool claim(uint32_t& index); // the next run, if a slot is free
    void siftRun(uint32_t index);

    uint32_t m_origin = 0, m_n = 0;
    const uint64_t* m_seen = nullptr;
    const uint64_t* m_filled = nullptr;
    std::atomic<bool> m_words{false};
    std::vector<uint32_t> m_states[kSlots];
    drawsift::Sifted m_sifted[kSlots]{};
    std::atomic<uint32_t> m_ready[kSlots]; // the run each slot holds, plus one (0: none)
    std::atomic<uint32_t> m_next{0};      // the next run to take
    std::atomic<uint32_t> m_released{0};  // the runs examined
    std::atomic<bool> m_active{false};
    std::atomic<bool> m_busy{false};     // the sifter has a run in hand
    std::atomic<uint32_t> m_signal{0};   // the order's thread changed something: wakes the sifter
    std::atomic<uint32_t> m_finished{0}; // the sifter finished a run: wakes the order's thread
    std::atomic<bool> m_quit{false};
    std::thread m_thread; // last: started once the rest is in place
};
