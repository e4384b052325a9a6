#pragma once
// The order in which the pixel effects' random draws first reach each cell of a grid.
//
// The pixel effects restart the shared generator from Seed = N (the cell count) on every call
// and draw Random(N) until k distinct cells have come up, with k = Round(N * P / 100). The
// sequence depends on N only, so the order of first appearance is computed once per N, extended
// as larger k are asked for, and reused. Each cell keeps one byte: the least progress at which it
// is chosen, so a frame is one byte-wide pass over the grid instead of a coupon-collector run.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

// Held while a frame is drawn. The order being drawn ahead on its thread stops at its next
// block of draws and waits until no frame holds: the frame has the processor to itself (two
// cores here are often two threads of one core), and may read and extend that order in place.
// The pixel generators hold one themselves.
class PixelOrderFrameHold
{
public:
    PixelOrderFrameHold();
    ~PixelOrderFrameHold();
    PixelOrderFrameHold(const PixelOrderFrameHold&) = delete;
    PixelOrderFrameHold& operator=(const PixelOrderFrameHold&) = delete;
};

class PixelOrder
{
public:
    PixelOrder() = default;
    ~PixelOrder();
    PixelOrder(const PixelOrder&) = delete;
    PixelOrder& operator=(const PixelOrder&) = delete;

    // Starts drawing the whole order of grid size n on a thread of its own when a transition is
    // set up: the last cells cost most of the draws (each new one takes about n / remaining
    // draws). The thread draws between frames; a frame that needs more than it has drawn goes on
    // from where it stopped.
    void prepareAhead(uint32_t n);

    struct Chosen {
        const uint8_t* steps; // per cell: the least progress 1 .. 100 choosing it, or notReached
        uint32_t seed;        // the generator's state after the draw that found the last cell
    };

    // The cells chosen at progress P (0 .. 100, more counts as 100) of grid size n: a cell is
    // chosen exactly when its step <= P. Seed is n when no cell is chosen. Call it under a
    // PixelOrderFrameHold and read the steps before the hold ends.
    Chosen choose(uint32_t n, int P);

    // The number of cells chosen at progress P: Round(n * P / 100), halves to even, at most n.
    static uint32_t chosenAt(uint32_t n, int P);

    void release();

    static constexpr uint8_t notReached = 0xFF;

private:
    struct Ahead;

    void reset(uint32_t n);
    void extend(uint32_t k, Ahead* yieldingJob);
    Chosen chosen(int P) const;
    void adoptAhead();
    void stopAhead();

    std::unique_ptr<Ahead> m_ahead;

    uint32_t m_n = 0;
    uint32_t m_seed = 0;  // state of the scan
    uint32_t m_found = 0; // distinct cells known so far
    int m_level = 0;      // the least P whose chosen count is above m_found (101: none)
    std::vector<uint8_t> m_step;
    std::vector<uint64_t> m_seen; // one bit per cell
    std::array<uint32_t, 101> m_chosen{};
    std::array<uint32_t, 101> m_seedAt{};
};

PixelOrder& pixelOrder();
void releasePixelOrderCache();
