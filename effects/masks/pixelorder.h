#pragma once
// The order in which the pixel effects' random draws first reach each cell of a grid.
//
// The pixel effects restart the shared generator from Seed = N (the cell count) on every call
// and draw Random(N) until k distinct cells have come up, with k = Round(N * P / 100). The
// sequence depends on N only, so the order of first appearance is computed once per N, extended
// as larger k are asked for, and reused. Each cell keeps one byte: the least progress at which it
// is chosen, so a frame is one byte-wide pass over the grid instead of a coupon-collector run.
//
// The last cells cost most of the draws (each new one takes about n / remaining draws: some 130
// million draws for the 8.3 million cells of a 3840 x 2160 grid, half of them for the last two
// thousand). So once few cells are left, their first draws are found without drawing (see
// firstdraws.h) and sorted, which gives the rest of the order at once. And a transition's set-up
// starts the whole order on a thread of its own. Frames do not hold that thread back: a frame
// reads the cells drawn so far while the thread goes on, and waits only when its progress needs
// cells the thread has not reached yet.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

// Holds every thread drawing an order at its next block of draws while alive; a frame that then
// needs cells not drawn yet draws them on the held order in place. The frames of a transition
// take none: the thread shares the processor with them.
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
    // How many cells an order of n cells leaves to be found without drawing.
    using LateCells = uint32_t (*)(uint32_t n);
    static uint32_t lateCellsFor(uint32_t n);

    explicit PixelOrder(LateCells lateCells = &lateCellsFor);
    ~PixelOrder();
    PixelOrder(const PixelOrder&) = delete;
    PixelOrder& operator=(const PixelOrder&) = delete;

    // Starts drawing the whole order of grid size n on a thread of its own (a transition's
    // set-up): the thread lays the order out and draws it to its end.
    void prepareAhead(uint32_t n);

    // The steps of an order: per cell, the least progress 1 .. 100 choosing it, or notReached.
    // They are read while a thread may still be drawing later cells of the same order.
    class Steps
    {
    public:
        // Copies the steps of cells from .. from + count - 1 to out.
        void copy(size_t from, size_t count, uint8_t* out) const;

    private:
        friend class PixelOrder;
        uint64_t* m_words = nullptr; // eight cells a word: cell c is byte c % 8 of word c / 8
    };

    struct Chosen {
        Steps steps; // a cell is chosen at P exactly when its step <= P
        uint32_t seed; // the generator's state after the draw that found the last cell
    };

    // The cells chosen at progress P (0 .. 100, more counts as 100) of grid size n: a cell is
    // chosen exactly when its step <= P. Seed is n when no cell is chosen. Every step <= P is
    // final; read the steps before the next call.
    Chosen choose(uint32_t n, int P);

    // The number of cells chosen at progress P: Round(n * P / 100), halves to even, at most n.
    static uint32_t chosenAt(uint32_t n, int P);

    void release();

    static constexpr uint8_t notReached = 0xFF;

private:
    struct Drawn;
    struct Ahead;

    void adoptAhead();
    void stopAhead();

    LateCells m_lateCells;
    std::unique_ptr<Drawn> m_drawn; // drawn by the frames themselves, or adopted from a thread
    std::unique_ptr<Ahead> m_ahead;
};

PixelOrder& pixelOrder();
void releasePixelOrderCache();
