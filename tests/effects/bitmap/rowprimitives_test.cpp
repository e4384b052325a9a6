// Row primitives at every width 0..70 and several misalignments, with the rows
// pressed against inaccessible pages so that a loop running past either end
// faults, and compared with the portable versions.

#include "effects/bitmap/rasterprimitives.h"
#include "effects/bitmap/rowprimitives.h"
#include "effects/bitmap/stampedrows.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Two pages of pixels between two inaccessible pages.
class GuardedPages {
public:
    GuardedPages()
    {
        m_page = size_t(sysconf(_SC_PAGESIZE));
        m_base = static_cast<char*>(mmap(nullptr, 4 * m_page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        EXPECT_NE(m_base, MAP_FAILED);
        mprotect(m_base, m_page, PROT_NONE);
        mprotect(m_base + 3 * m_page, m_page, PROT_NONE);
    }
    ~GuardedPages() { munmap(m_base, 4 * m_page); }
    GuardedPages(const GuardedPages&) = delete;
    GuardedPages& operator=(const GuardedPages&) = delete;

    // n pixels ending exactly where the trailing guard begins.
    TluxColor* atEnd(int n) const { return reinterpret_cast<TluxColor*>(m_base + 3 * m_page) - n; }
    // n pixels starting `skip` pixels after the leading guard.
    TluxColor* atStart(int skip) const { return reinterpret_cast<TluxColor*>(m_base + m_page) + skip; }
    TluxColor* all() const { return atStart(0); }
    int capacity() const { return int(2 * m_page / sizeof(TluxColor)); }

private:
    size_t m_page = 0;
    char* m_base = nullptr;
};

// Pixels that exercise every case of the primitives: opaque, clear, partial
// alphas and key-colour holes with any alpha.
void fillMixed(TluxColor* p, int n, std::mt19937& rng)
{
    for (int i = 0; i < n; ++i) {
        TluxColor v = rng();
        switch (rng() % 6) {
        case 0: v |= 0xFF000000; break;
        case 1: v &= 0x00FFFFFF; break;
        case 2: v = (v & 0xFF000000) | luxTransparent; break;
        default: break;
        }
        p[i] = v;
    }
}

struct RowPath {
    std::string name;
    LineProc line;
    LineProc reference;
};

std::vector<RowPath> rowPaths()
{
    using namespace luxraster;
    std::vector<RowPath> paths{
        {"sse2 packed", sse2::lineBlendPacked, lineBlendPacked},
        {"sse2 plain", sse2::lineBlendPlain, lineBlendPlain},
        {"sse2 transparent", sse2::lineTransparent, lineTransparent},
        {"scalar packed", lineBlendPacked, lineBlendPacked},
        {"scalar transparent", lineTransparent, lineTransparent},
    };
    if (bestSimdLevel() == SimdLevel::Avx2) {
        paths.push_back({"avx2 packed", avx2::lineBlendPacked, lineBlendPacked});
        paths.push_back({"avx2 plain", avx2::lineBlendPlain, lineBlendPlain});
        paths.push_back({"avx2 transparent", avx2::lineTransparent, lineTransparent});
    }
    return paths;
}

} // namespace

TEST(RowPrimitives, EveryWidthAndMisalignmentStaysInsideItsRows)
{
    GuardedPages source, target;
    std::mt19937 rng(1234);
    std::vector<TluxColor> s(80), t(80), expected(80);
    for (const auto& path : rowPaths()) {
        for (int n = 0; n <= 70; ++n) {
            for (int skip = 0; skip < 4; ++skip) {
                // Source against the trailing guard and target after the leading
                // one, then the other way round.
                for (int arrangement = 0; arrangement < 2; ++arrangement) {
                    TluxColor* S = arrangement ? source.atStart(skip) : source.atEnd(n);
                    TluxColor* T = arrangement ? target.atEnd(n) : target.atStart(skip);
                    fillMixed(s.data(), n, rng);
                    fillMixed(t.data(), n + 1, rng);
                    std::memcpy(S, s.data(), size_t(n) * 4);
                    std::memcpy(T, t.data(), size_t(n) * 4);
                    const TluxColor after = arrangement ? 0 : (T[n] = t[n]);
                    expected = t;
                    path.reference(s.data(), expected.data(), n);
                    path.line(S, T, n);
                    ASSERT_EQ(0, std::memcmp(T, expected.data(), size_t(n) * 4))
                        << path.name << " n=" << n << " skip=" << skip;
                    if (!arrangement) {
                        ASSERT_EQ(T[n], after) << path.name << " wrote past the row, n=" << n;
                    }
                }
            }
        }
    }
    // Negative counts do nothing.
    TluxColor one = 5, other = 6;
    for (const auto& path : rowPaths())
        path.line(&one, &other, -3);
    EXPECT_EQ(other, 6u);
}

// The rows whose stores bypass the cache give the bytes of the plain ones, whatever the target's
// alignment (they stream only from its 32-byte boundaries), and write nothing past the row.
TEST(RowPrimitives, StreamingRowsGiveTheBytesOfThePlainOnes)
{
    if (bestSimdLevel() != SimdLevel::Avx2)
        GTEST_SKIP() << "no AVX2";
    using namespace luxraster;
    struct Case {
        const char* name;
        FadeRowProc streaming, plain;
    };
    const Case cases[] = {{"packed", avx2::fadeRowPackedStreaming, avx2::fadeRowPacked},
                          {"plain", avx2::fadeRowPlainStreaming, avx2::fadeRowPlain},
                          {"copy", nullptr, nullptr}};
    std::mt19937 rng(99);
    alignas(32) TluxColor S[200], D[200], out[220], expected[220];
    uint8_t m[200];
    for (const Case& c : cases) {
        for (int n : {0, 7, 8, 63, 64, 65, 100, 150, 191}) {
            for (int skip = 0; skip < 9; ++skip) {
                fillMixed(S, n, rng);
                fillMixed(D, n, rng);
                for (int i = 0; i < n; ++i)
                    m[i] = uint8_t(i % 5 == 0 ? 0 : i % 5 == 1 ? 255 : rng());
                fillMixed(out, 220, rng);
                std::memcpy(expected, out, sizeof out);
                if (c.streaming) {
                    c.plain(S, D, m, expected + skip, n);
                    c.streaming(S, D, m, out + skip, n);
                } else {
                    std::memcpy(expected + skip, S, size_t(n) * 4);
                    avx2::moveStreaming(S, out + skip, n);
                }
                ASSERT_EQ(0, std::memcmp(out, expected, sizeof out)) << c.name << " n=" << n << " skip=" << skip;
            }
        }
    }
}

TEST(RowPrimitives, TransparentRowSkipsTheKeyWhateverItsAlphaAndWritesOpaque)
{
    const TluxColor s[5] = {0x007F007F, 0xFF7F007F, 0x12345678, 0x807F007E, 0x017F007F};
    for (const auto& path : rowPaths()) {
        if (path.reference != luxraster::lineTransparent)
            continue;
        TluxColor t[5] = {1, 2, 3, 4, 5};
        path.line(s, t, 5);
        EXPECT_EQ(t[0], 1u) << path.name;
        EXPECT_EQ(t[1], 2u) << path.name;
        EXPECT_EQ(t[2], 0xFF345678u) << path.name;
        EXPECT_EQ(t[3], 0xFF7F007Eu) << path.name;
        EXPECT_EQ(t[4], 5u) << path.name;
    }
}

TEST(RowPrimitives, FillsAndMovesStayInsideTheirRows)
{
    GuardedPages pages;
    for (int n = 0; n <= 70; ++n) {
        TluxColor* p = pages.atEnd(n);
        for (int i = 0; i < n; ++i)
            p[i] = 0x11223344u + TluxColor(i);
        FillLongwordFunc(p, n, 0xCAFEBABE);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(p[i], 0xCAFEBABEu);
        FillAlphaFunc(p, n, 0x12);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(p[i], 0x12FEBABEu);
        ClearAlphaFunc(p, n, 0x99FEBABE);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(p[i], 0x00FEBABEu);
        TluxColor* q = pages.atStart(n % 4);
        EXPECT_EQ(MoveLongwordFunc(p, q, n), n);
        ASSERT_EQ(0, std::memcmp(p, q, size_t(n) * 4));
    }
    // Overlapping moves behave like a copy made first, in both directions.
    TluxColor* p = pages.all();
    for (int i = 0; i < 20; ++i)
        p[i] = TluxColor(i);
    MoveLongwordFunc(p, p + 3, 10);
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(p[i + 3], TluxColor(i));
    MoveLongwordFunc(p + 3, p + 1, 10);
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(p[i + 1], TluxColor(i));
    // ClearAlpha compares the low 24 bits only and keeps the colour.
    TluxColor c[3] = {0xFF010203, 0x80010203, 0xFF010204};
    ClearAlphaFunc(c, 3, 0x00010203);
    EXPECT_EQ(c[0], 0x00010203u);
    EXPECT_EQ(c[1], 0x00010203u);
    EXPECT_EQ(c[2], 0xFF010204u);
    // Key pixels scattered over runs of sixteen and the tail; the others keep their alpha.
    TluxColor row[37];
    for (int i = 0; i < 37; ++i)
        row[i] = (i % 5 == 0 || i == 31) ? 0x7F010203u : 0xFF010200u + TluxColor(i % 3 + 4);
    ClearAlphaFunc(row, 37, 0x00010203);
    for (int i = 0; i < 37; ++i)
        ASSERT_EQ(row[i], (i % 5 == 0 || i == 31) ? 0x00010203u : 0xFF010200u + TluxColor(i % 3 + 4)) << i;
}

TEST(RowPrimitives, RectangleFillsCoverInclusiveEdgesOnly)
{
    // A 7-wide image of 5 rows, the last row against the guard.
    GuardedPages pages;
    constexpr int W = 7, H = 5;
    TluxColor* p = pages.atEnd(W * H);
    std::fill_n(p, W * H, 0x01020304u);
    FillLongwordRectFunc(p, W, H, 2, 1, 6, 4, 0xFFFFFFFF); // right and bottom included
    FillAlphaRectFunc(p, W, H, 0, 0, 0, 0, 0x55);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            TluxColor want = (x >= 2 && y >= 1) ? 0xFFFFFFFF : 0x01020304u;
            if (x == 0 && y == 0)
                want = 0x55020304;
            ASSERT_EQ(p[y * W + x], want) << x << "," << y;
        }
}

TEST(RowPrimitives, WhollyOpaqueAndClearRunsTakeTheirShortcutsCorrectly)
{
    // Rows made of runs of one kind (opaque, clear, partial, mixed) whose
    // lengths and starts fall on and off the 16-pixel steps of the SIMD loops.
    std::mt19937 rng(5);
    for (const auto& path : rowPaths()) {
        if (path.reference == luxraster::lineTransparent)
            continue;
        for (int round = 0; round < 200; ++round) {
            const int n = 1 + int(rng() % 100);
            std::vector<TluxColor> s(static_cast<size_t>(n)), t(static_cast<size_t>(n));
            for (int i = 0; i < n;) {
                const int run = 1 + int(rng() % 40), kind = int(rng() % 4);
                for (int k = 0; k < run && i < n; ++k, ++i) {
                    const TluxColor colour = rng() & 0x00FFFFFF;
                    const TluxColor alpha = kind == 0 ? 0xFF : kind == 1 ? 0 : kind == 2 ? 1 + rng() % 254 : rng() & 0xFF;
                    s[size_t(i)] = colour | (alpha << 24);
                    t[size_t(i)] = rng();
                }
            }
            std::vector<TluxColor> expected = t;
            path.reference(s.data(), expected.data(), n);
            path.line(s.data(), t.data(), n);
            ASSERT_EQ(t, expected) << path.name << " round " << round;
        }
    }
}
