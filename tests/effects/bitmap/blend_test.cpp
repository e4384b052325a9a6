// Both blends over every (foreground byte, background byte, alpha) triple, for
// every instruction set, against formulas written here independently.

#include "effects/bitmap/rasterprimitives.h"
#include "effects/bitmap/rowprimitives.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

uint8_t byteOf(uint32_t v, int i)
{
    uint8_t b[4];
    std::memcpy(b, &v, 4); // memory order: blue, green, red, alpha
    return b[i];
}

uint32_t fromBytes(const std::array<unsigned, 4>& b)
{
    return b[0] | (b[1] << 8) | (b[2] << 16) | (b[3] << 24);
}

// Plain: colour = (F*a + B*(255 - a)) / 256, alpha 255; a = 0 keeps B, a = 255 gives F.
uint32_t expectPlain(uint32_t f, uint32_t b)
{
    const unsigned a = byteOf(f, 3);
    if (a == 0)
        return b;
    if (a == 255)
        return f;
    std::array<unsigned, 4> out{};
    for (int i = 0; i < 3; ++i)
        out[i] = (byteOf(f, i) * a + byteOf(b, i) * (255 - a)) / 256;
    out[3] = 255;
    return fromBytes(out);
}

// Packed: every byte = (F*a + B*(256 - a)) / 256, whatever a is.
uint32_t expectPackedPixel(uint32_t f, uint32_t b)
{
    const unsigned a = byteOf(f, 3);
    std::array<unsigned, 4> out{};
    for (int i = 0; i < 4; ++i)
        out[i] = (byteOf(f, i) * a + byteOf(b, i) * (256 - a)) / 256;
    return fromBytes(out);
}

// The row form of the packed blend copies an opaque foreground.
uint32_t expectPackedRow(uint32_t f, uint32_t b)
{
    return byteOf(f, 3) == 255 ? f : expectPackedPixel(f, b);
}

// Row (a0, v) of the domain: pixel k has alpha (a0 + k) mod 256 and its
// channels pair v and k in three arrangements, so over all rows every
// channel meets every (foreground, background, alpha) triple and neighbouring
// pixels mix opaque, clear and partial alphas as real pictures do.
void makeRow(unsigned a0, unsigned v, uint32_t* fg, uint32_t* bg)
{
    for (unsigned k = 0; k < 256; ++k) {
        fg[k] = fromBytes({v, 255 - v, v, (a0 + k) & 255});
        bg[k] = fromBytes({k, k, 255 - k, k ^ 0xA5});
    }
}

// The sanitizer build runs about forty times slower: there every alpha and
// every background byte still meet, but only every eighth foreground byte
// (and the edges 1, 127, 128, 254, 255). The normal build covers everything.
std::vector<unsigned> foregroundValues()
{
    std::vector<unsigned> values;
#if defined(__SANITIZE_ADDRESS__)
    for (unsigned v = 0; v < 256; v += 8)
        values.push_back(v);
    values.insert(values.end(), {1, 127, 128, 254, 255});
#else
    for (unsigned v = 0; v < 256; ++v)
        values.push_back(v);
#endif
    return values;
}

struct LinePath {
    std::string name;
    LineProc line;
};

std::vector<LinePath> linePaths(bool packed)
{
    using namespace luxraster;
    std::vector<LinePath> paths{{"scalar", packed ? lineBlendPacked : lineBlendPlain},
                                {"sse2", packed ? sse2::lineBlendPacked : sse2::lineBlendPlain}};
    if (bestSimdLevel() == SimdLevel::Avx2)
        paths.push_back({"avx2", packed ? avx2::lineBlendPacked : avx2::lineBlendPlain});
    else
        std::printf("This processor has no AVX2; that path is not run here.\n");
    return paths;
}

void checkRows(bool packed)
{
    const auto paths = linePaths(packed);
    std::vector<uint32_t> fg(256), bg(256), expected(256), out(256);
    int failures = 0;
    for (unsigned a0 = 0; a0 < 256; ++a0) {
        for (unsigned v : foregroundValues()) {
            makeRow(a0, v, fg.data(), bg.data());
            for (unsigned k = 0; k < 256; ++k)
                expected[k] = packed ? expectPackedRow(fg[k], bg[k]) : expectPlain(fg[k], bg[k]);
            for (const auto& path : paths) {
                out = bg;
                path.line(fg.data(), out.data(), 256);
                if (out == expected || ++failures > 5)
                    continue;
                for (unsigned k = 0; k < 256; ++k)
                    if (out[k] != expected[k])
                        ADD_FAILURE() << path.name << ": F=" << std::hex << fg[k] << " B=" << bg[k] << " gave " << out[k]
                                      << " expected " << expected[k];
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

void checkPixels(PixelAlphaBlendProc blend, uint32_t (*expect)(uint32_t, uint32_t), const char* name)
{
    std::vector<uint32_t> fg(256), bg(256);
    int failures = 0;
    const auto values = foregroundValues();
    for (unsigned a0 = 0; a0 < 256; ++a0)
        for (unsigned v : values) {
            makeRow(a0, v, fg.data(), bg.data());
            for (unsigned k = 0; k < 256; ++k) {
                const uint32_t got = blend(fg[k], bg[k]);
                if (got != expect(fg[k], bg[k]) && ++failures <= 5)
                    ADD_FAILURE() << name << ": F=" << std::hex << fg[k] << " B=" << bg[k] << " gave " << got;
            }
        }
    EXPECT_EQ(failures, 0);
}

} // namespace

TEST(Blend, PlainRowBlendOverTheWholeDomainOnEveryPath)
{
    checkRows(false);
}

TEST(Blend, PackedRowBlendOverTheWholeDomainOnEveryPath)
{
    checkRows(true);
}

TEST(Blend, PixelBlendsOverTheWholeDomain)
{
    checkPixels(luxraster::pixelBlendPlain, expectPlain, "plain");
    checkPixels(luxraster::pixelBlendPacked, expectPackedPixel, "packed scalar");
    checkPixels(luxraster::sse2::pixelBlendPacked, expectPackedPixel, "packed sse2");
}

TEST(Blend, WorkedExamples)
{
    EXPECT_EQ(luxraster::pixelBlendPlain(0x80FF0000, 0xFF0000FF), 0xFF7F007Eu);
    EXPECT_EQ(luxraster::pixelBlendPacked(0x80FF0000, 0xFF0000FF), 0xBF7F007Fu);
    EXPECT_EQ(luxraster::sse2::pixelBlendPacked(0x80FF0000, 0xFF0000FF), 0xBF7F007Fu);
    // Packed: an opaque foreground is not the foreground for a single pixel...
    // per byte (F * 255 + B) >> 8: alpha 254, colours rounded down.
    EXPECT_EQ(luxraster::pixelBlendPacked(0xFF102030, 0x00F0E0D0), 0xFE102030u);
    EXPECT_EQ(luxraster::sse2::pixelBlendPacked(0xFF102030, 0x00F0E0D0), 0xFE102030u);
    // ...but a row copies it unchanged.
    uint32_t t = 0x00F0E0D0;
    const uint32_t s = 0xFF102030;
    luxraster::sse2::lineBlendPacked(&s, &t, 1);
    EXPECT_EQ(t, s);
}

TEST(Blend, StartUpPicksThePackedBlendInTheWidestInstructionSet)
{
    initRasterPrimitives();
    EXPECT_EQ(currentBlendKind(), BlendKind::Packed); // every x86-64 has MMX
    EXPECT_EQ(currentSimdLevel(), bestSimdLevel());
    EXPECT_EQ(PixelAlphaBlendFunc(0x80FF0000, 0xFF0000FF), 0xBF7F007Fu);
    ASSERT_TRUE(selectRasterPath(BlendKind::Plain, SimdLevel::Scalar));
    EXPECT_EQ(PixelAlphaBlendFunc(0x80FF0000, 0xFF0000FF), 0xFF7F007Eu);
    initRasterPrimitives();
}
