#pragma once
// Which radii of the concentric mask circles about one centre reach each cell of a grid.
//
// The circle generators draw circles of radius 0, 1, ... n about one centre in turn, so a cell
// ends up with the value of the largest radius that reaches it. For a grid size and centre that
// depends on nothing else: the first and last radius reaching each cell are recorded once, in
// step with the radii the frames ask for, and a frame is then one pass over the grid. Where some
// cell is reached by radii that are not consecutive, the record cannot stand for the drawing and
// says so; the generators then draw their circles.

#include "effects/masks/coverpasses.h"
#include "effects/masks/maskprimitives.h"

#include <cstdint>
#include <vector>

class CircleCover
{
public:
    // Makes the circles 0 .. r about (cx, cy) on a W x H grid known. False when this grid and
    // centre cannot be served (see above); the caller draws.
    bool reach(int W, int H, int cx, int cy, int r);

    // After reach: each cell's record word (see coverpasses.h), its first and last radius among
    // those known (first none where none reaches it).
    const uint32_t* cells() const { return m_cells.data(); }
    // Radii beyond this reach no cell.
    int farthest() const { return m_farthest; }

    static constexpr uint16_t none = coverpass::none;

private:
    void reset(int W, int H, int cx, int cy);
    void add(int r);

    int m_w = 0, m_h = 0, m_cx = 0, m_cy = 0;
    int m_known = -1; // circles 0 .. m_known recorded
    int m_farthest = 0;
    bool m_usable = false;
    std::vector<uint32_t> m_cells;
};

// The shared record (one grid and centre at a time: a transition uses one).
CircleCover& circleCover();
void releaseCircleCover();

namespace generators {
// The plain circle rule served from the record: cells reached by a radius in lo .. hi get v.
// False (nothing written) when the record cannot serve this grid.
bool coverRing(MaskGrid& m, int cx, int cy, int lo, int hi, uint8_t v);
// Soft circles 0 .. n with level(k) of the gradient band: cells get the level of the largest
// radius up to n that reaches them.
bool coverSoft(MaskGrid& m, int cx, int cy, int P, int n);
} // namespace generators
