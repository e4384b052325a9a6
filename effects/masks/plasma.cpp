// "Plasma": a sine/cosine interference pattern through a banded ramp, thresholded by progress.

#include "effects/masks/generators.h"

#include "effects/masks/maskrows.h"

#include "platform/arith.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace generators {

namespace {

struct PlasmaTables {
    std::array<int, 512> sine;
    std::array<int, 512> cosine;
    std::array<uint8_t, 512> ramp;
};

PlasmaTables buildTables()
{
    PlasmaTables t{};
    for (int i = 0; i < 512; ++i) {
        const double angle = 2 * std::numbers::pi * i / 512;
        t.sine[size_t(i)] = int(Trunc(std::sin(angle) * 256) + 256) & 511;
        t.cosine[size_t(i)] = int(Trunc(std::cos(angle) * 256) + 256) & 511;
    }
    // Linear ramp through the control values, snapping to a control value when the entry is
    // within half a step of it.
    static constexpr int control[13] = {255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255};
    const int step = (12 * 65536) / 511;
    int acc = 0;
    int p1 = 0;
    for (int e = 0; e <= 510; ++e) {
        const int k = acc / 65536;
        const int p0 = control[k];
        p1 = control[std::min(k + 1, 12)];
        const int w1 = acc % 65536, w0 = 65536 - w1;
        int value;
        if (step - w0 > w0)
            value = p1;
        else if (step - w1 > w1)
            value = p0;
        else
            value = (p0 * w0 + p1 * w1) / 65536;
        t.ramp[size_t(e)] = uint8_t(value);
        acc += step;
    }
    t.ramp[511] = uint8_t(p1);
    return t;
}

const PlasmaTables& tables()
{
    static const PlasmaTables t = buildTables();
    return t;
}

// Row y at the threshold top: a row repeats with period 512, so one period is computed and
// copied along it.
void plasmaRow(uint8_t* row, int W, int y, int top)
{
    const PlasmaTables& t = tables();
    const int shift = t.sine[size_t(y & 511)];
    const int offset = t.cosine[size_t(y & 511)];
    const int span = std::min(W, 512);
    for (int x = 0; x < span; ++x) {
        const int idx = (t.sine[size_t((x + shift) & 511)] + offset) & 511;
        row[x] = uint8_t(std::clamp(top - int(t.ramp[size_t(idx)]), 0, 255));
    }
    for (int x = span; x < W; x += 512)
        std::copy_n(row, std::min(512, W - x), row + x);
}

} // namespace

// Drawn at every P, a row at a time (on a planning grid, as the frame blends it).
void plasma(MaskGrid& m, int P)
{
    // Up to 510, twice the highest ramp value: at P = 0 every cell shows the old picture, at
    // P = 100 every cell (top minus a ramp value of at most 255) shows the new one.
    const int top = MulDiv(2 * P, 255, 100);
    if (m.plan) {
        m.plan->computed(plasmaRow, top);
        return;
    }
    for (int y = 0; y < m.H; ++y)
        plasmaRow(m.row(y), m.W, y, top);
}

} // namespace generators
