#pragma once
// The order in which the pixel effects' random draws first reach each cell of a grid.
//
// The pixel effects restart the shared generator from Seed = N (the cell count) on every call
// and draw Random(N) until k distinct cells have come up. The sequence depends on N only, so
// the order of first appearance is computed once per N, extended as larger k are asked for,
// and reused: a frame then costs one pass over the grid instead of a coupon-collector run.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

class PixelOrder
{
public:
    PixelOrder() = default;
    ~PixelOrder();
    PixelOrder(const PixelOrder&) = delete;
    PixelOrder& operator=(const PixelOrder&) = delete;

    // Draws the whole order of grid size n on a thread of its own, started when a transition is
    // set up: the last cells cost most of the draws (each new one takes about n / remaining
    // draws), and the frames near the end then take them ready instead of stalling. Until it is
    // done the frames extend their own copy as far as the cheap part goes.
    void prepareAhead(uint32_t n);

    // Makes the first k distinct cells of grid size n known (k <= n) and returns the rank of
    // every cell: its position in the order of first appearance, or notReached.
    const uint32_t* ranks(uint32_t n, uint32_t k);

    // The generator's state right after the draw that found the k-th distinct cell (k >= 1,
    // k already known), n for k = 0.
    uint32_t seedAfter(uint32_t k) const { return k == 0 ? m_n : m_seedAfter[k - 1]; }

    void release();

    static constexpr uint32_t notReached = UINT32_MAX;

private:
    void reset(uint32_t n);
    void extend(uint32_t k);
    void adoptAhead();
    void stopAhead();

    struct Ahead {
        uint32_t n = 0;
        std::unique_ptr<PixelOrder> order;
        std::atomic<bool> done{false};
        std::thread thread;
    };
    std::unique_ptr<Ahead> m_ahead;

    uint32_t m_n = 0;
    uint32_t m_seed = 0; // state of the scan
    uint32_t m_found = 0; // distinct cells known so far
    std::vector<uint32_t> m_rank;
    std::vector<uint64_t> m_seen; // one bit per cell
    std::vector<uint32_t> m_seedAfter;
};

PixelOrder& pixelOrder();
void releasePixelOrderCache();
