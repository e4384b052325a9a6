#pragma once
// Pictures, settings and test effects for the composition and engine tests.

#include "effects/engine/animationslot.h"
#include "effects/engine/effectregistry.h"
#include "tests/effects/engine/enginetestsupport.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"

#include <QString>

#include <cstdint>
#include <random>
#include <vector>

namespace composetest {

inline constexpr TluxColor oldColour = 0xFF102030;
inline constexpr TluxColor newColour = 0xFF405060;

// A w x h bitmap filled with one colour.
inline void fill(TluxBitmap& b, int w, int h, TluxColor c)
{
    b.SetSize(w, h);
    b.Clear(c);
}

// Random opaque pixels, with about one in eight in the key colour (random alpha byte).
inline void randomPicture(TluxBitmap& b, int w, int h, uint32_t seed)
{
    b.SetSize(w, h);
    std::mt19937 rng(seed);
    for (int i = 0; i < w * h; ++i) {
        const uint32_t v = rng();
        b.Bits[i] = (v & 7) == 0 ? (luxTransparent | (v & 0xFF000000u)) : (v | 0xFF000000u);
    }
}

inline std::vector<uint8_t> alphaOf(const TluxBitmap& b)
{
    std::vector<uint8_t> a;
    for (int i = 0; i < b.Width * b.Height; ++i)
        a.push_back(uint8_t(b.Bits[i] >> 24));
    return a;
}

// Test effects, registered once under names no built-in effect uses.
struct GeneratorCall {
    int w = 0;
    int h = 0;
    std::vector<int> progress;
};
inline GeneratorCall lastCall;

// 255 in the left half of the grid (x < w / 2), 0 elsewhere.
inline void leftHalf(uint8_t* m, int w, int h, uint8_t P)
{
    lastCall.w = w;
    lastCall.h = h;
    lastCall.progress.push_back(P);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            m[y * w + x] = 255;
}

// Each cell holds its linear index: rotations can be read off the turned mask.
inline void linearIndex(uint8_t* m, int w, int h, uint8_t)
{
    lastCall.w = w;
    lastCall.h = h;
    for (int i = 0; i < w * h; ++i)
        m[i] = uint8_t(i);
}

// Only cell (1, 0) is new.
inline void secondCell(uint8_t* m, int w, int, uint8_t)
{
    if (w > 1)
        m[1] = 255;
}

// Every cell shows the new picture's cell to its right, fully, except cell (0, 0).
inline void shiftLeft(TluxCell* cells, int w, int h, uint8_t)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            cells[y * w + x] = TluxCell{uint8_t(x == 0 && y == 0 ? 0 : 255), 0, int16_t(x + 1), int16_t(y)};
}

// Runs of cells moved by one vector, broken by cells that are see-through, half
// transparent or moved elsewhere; the pattern changes with P.
inline void mixedRuns(TluxCell* cells, int w, int h, uint8_t P)
{
    std::mt19937 rng(P);
    for (int y = 0; y < h; ++y) {
        int shift = 0;
        for (int x = 0; x < w; ++x) {
            const uint32_t v = rng();
            if (v % 5 == 0)
                shift = int(v >> 8) % 7 - 3;
            const uint8_t alpha = v % 11 == 0 ? 0 : v % 13 == 0 ? uint8_t(v >> 16) : 255;
            cells[y * w + x] = TluxCell{alpha, 0, int16_t(x + shift), int16_t(y + int(v >> 20) % 3 - 1)};
        }
    }
}

inline void registerTestEffects()
{
    enginetest::ensureRegistry();
    if (ProcList->GetProcs(QStringLiteral("TestLeftHalf")))
        return;
    RegisterProc(QStringLiteral("TestLeftHalf"), pkFade, toProc(leftHalf));
    RegisterProc(QStringLiteral("TestLinearIndex"), pkFade, toProc(linearIndex));
    RegisterProc(QStringLiteral("TestSecondCell"), pkFade, toProc(secondCell));
    RegisterProc(QStringLiteral("TestShiftLeft"), pkSlide, toProc(shiftLeft));
    RegisterProc(QStringLiteral("TestMixedRuns"), pkSlide, toProc(mixedRuns));
}

inline std::vector<TluxProcItem*> registeredEffects()
{
    std::vector<TluxProcItem*> items;
    for (int i = 0; i < ProcList->Count(); ++i)
        items.push_back(ProcList->Items(i));
    return items;
}

inline void configure(TluxAnimationRec& s, const QString& effect, int R = 1, int T = 1, TluxRotation rot = krNone)
{
    s.Effect = effect;
    s.SetResolution(R);
    s.SetTileCount(T);
    s.Rotation = rot;
}

} // namespace composetest
