#include "effects/forms/seethrough.h"

#include "effects/bitmap/luxbitmap.h"

#include <gtest/gtest.h>

namespace {

// The premultiplied value as stored (QImage::pixel would unpremultiply it).
TluxColor stored(const QImage& image, int x)
{
    return reinterpret_cast<const TluxColor*>(image.constScanLine(0))[x];
}

// The premultiplied pixel the frame pixel `f` becomes over the revealed pixel `r`.
TluxColor seen(TluxColor f, TluxColor r)
{
    QImage frame(1, 1, QImage::Format_ARGB32);
    frame.setPixel(0, 0, f);
    TluxBitmap revealed;
    revealed.SetSize(1, 1);
    revealed.SetPixel(0, 0, r);
    return stored(SeeThroughFrame(frame, &revealed), 0);
}

// r faded by w towards black, as a blend of the Unrevealed picture and r gives it.
TluxColor faded(TluxColor r, int w)
{
    auto ch = [&](int s) { return TluxColor((((r >> s) & 0xFF) * w + 127) / 255) << s; };
    return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

} // namespace

TEST(SeeThrough, UnrevealedIsClearRevealedOpaqueAFadeItsWeightAndAMovedPixelOpaque)
{
    const TluxColor paper = 0xFFD4D0C8u, text = 0xFF000000u, blue = 0xFF2040F0u;
    struct Case {
        TluxColor frame, revealed, expected;
    };
    const Case cases[] = {
        {Unrevealed, paper, 0x00000000u},
        {Unrevealed & 0x00FFFFFFu, paper, 0x00000000u}, // the frame's alpha byte does not count
        {paper, paper, paper},
        {text, text, text}, // black text is revealed, not see-through
        {faded(paper, 128), paper, (128u << 24) | (faded(paper, 128) & 0x00FFFFFFu)},
        {faded(blue, 64), blue, (64u << 24) | (faded(blue, 64) & 0x00FFFFFFu)},
        {blue, paper, blue}, // moved here from elsewhere in the revealed picture
        {faded(blue, 128), paper, faded(blue, 128)},
    };
    for (const Case& c : cases) {
        const TluxColor got = seen(c.frame, c.revealed);
        EXPECT_NEAR(double(got >> 24), double(c.expected >> 24), 1.0) << std::hex << c.frame << " over " << c.revealed;
        EXPECT_EQ(got & 0x00FFFFFFu, c.expected & 0x00FFFFFFu) << std::hex << c.frame << " over " << c.revealed;
    }
}

TEST(SeeThrough, WithoutARevealedPictureOnlyUnrevealedIsClear)
{
    QImage frame(3, 1, QImage::Format_ARGB32);
    frame.setPixel(0, 0, Unrevealed);
    frame.setPixel(1, 0, 0x00808080u);
    frame.setPixel(2, 0, 0xFF000000u);
    const QImage out = SeeThroughFrame(frame, nullptr);
    EXPECT_EQ(out.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(stored(out, 0), 0u);
    EXPECT_EQ(stored(out, 1), 0xFF808080u);
    EXPECT_EQ(stored(out, 2), 0xFF000000u);
}
