// Row sampling through the column table: every block shape (one load, two
// loads, single pixels) against the plain loop, with the source row ending at
// an inaccessible page so a vector load past the row's end would fault.

#include "effects/bitmap/rasterprimitives.h"
#include "effects/bitmap/columngather.h"
#include "effects/bitmap/rowprimitives.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

TEST(ColumnGather, MatchesThePlainLoopForEveryScaleUpToTheRowsEnd)
{
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    char* base = static_cast<char*>(mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(base, MAP_FAILED);
    ASSERT_EQ(mprotect(base + page, page, PROT_NONE), 0);
    std::mt19937 rng(99);
    int blocksSeen[3] = {0, 0, 0};
    for (int sourceWidth : {1, 7, 8, 9, 16, 17, 40, 300}) {
        // The row ends exactly at the guard page.
        auto* row = reinterpret_cast<TluxColor*>(base + page) - sourceWidth;
        for (int i = 0; i < sourceWidth; ++i)
            row[i] = 0xA0000000u + TluxColor(i);
        for (int outWidth : {1, 5, 8, 13, 16, 64, 301, 700}) {
            for (int variant = 0; variant < 3; ++variant) {
                // Non-decreasing tables: a stretch from a random start, or random steps.
                std::vector<int> columns(static_cast<size_t>(outWidth));
                const int start = int(rng() % unsigned(sourceWidth));
                const double step = variant == 0 ? double(sourceWidth - 1 - start) / std::max(1, outWidth - 1)
                                                 : 0.4 * variant;
                for (int i = 0; i < outWidth; ++i)
                    columns[size_t(i)] = std::min(sourceWidth - 1, start + int(i * step) + (variant == 2 ? int(rng() % 3) : 0));
                std::sort(columns.begin(), columns.end());
                std::vector<TluxColor> out(size_t(outWidth) + 1, 0xDEADBEEF);
                luxraster::ColumnGather gather(columns, sourceWidth);
                gather.run(row, out.data());
                for (int i = 0; i < outWidth; ++i)
                    ASSERT_EQ(out[size_t(i)], row[columns[size_t(i)]])
                        << "source " << sourceWidth << " out " << outWidth << " variant " << variant << " i " << i;
                ASSERT_EQ(out[size_t(outWidth)], 0xDEADBEEFu);
                for (int k = 0; k + 8 <= outWidth; k += 8) {
                    const int span = columns[size_t(k + 7)] - columns[size_t(k)] + 1;
                    ++blocksSeen[span <= 8 ? 0 : span <= 16 ? 1 : 2];
                }
            }
        }
    }
    munmap(base, 2 * page);
    // Every block shape occurred.
    EXPECT_GT(blocksSeen[0], 0);
    EXPECT_GT(blocksSeen[1], 0);
    EXPECT_GT(blocksSeen[2], 0);
    if (bestSimdLevel() != SimdLevel::Avx2)
        std::printf("This processor has no AVX2: only the plain loop ran.\n");
}
