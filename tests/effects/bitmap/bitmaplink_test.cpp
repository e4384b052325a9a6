#include "effects/bitmap/assignerror.h"
#include "effects/bitmap/bitmaplink.h"
#include "effects/bitmap/bitmaplist.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct Flags {
    bool edge = false, corner = false, center = false;
    friend bool operator==(const Flags&, const Flags&) = default;
};

Flags flagsOf(const TluxBitmapLink& link)
{
    return {link.EdgeMasked, link.CornerMasked, link.CenterMasked};
}

bool inRect(int64_t x, int64_t y, int64_t l, int64_t t, int64_t r, int64_t b)
{
    return x >= l && x < r && y >= t && y < b;
}

// Every pixel of the link visited and tested against the nine regions.
Flags bruteForceFlags(const TluxBitmapLink& link, const TRect& m)
{
    Flags f;
    const int64_t w = link.Right - link.Left, h = link.Bottom - link.Top;
    const bool noMargins = m.Left == 0 && m.Top == 0 && m.Right == 0 && m.Bottom == 0;
    for (int x = link.Left; x < link.Right; ++x)
        for (int y = link.Top; y < link.Bottom; ++y) {
            const TluxColor p = link.Bitmap ? link.Bitmap->GetPixel(x, y) : 0;
            if (p == luxNone || (p != 0x007F007F && (p >> 24) == 255))
                continue;
            if (noMargins) {
                f.center = true;
                continue;
            }
            const int64_t rx = x - link.Left, ry = y - link.Top;
            f.corner |= inRect(rx, ry, 0, 0, m.Left, m.Top) || inRect(rx, ry, w - m.Right, 0, w, m.Top) ||
                        inRect(rx, ry, w - m.Right, h - m.Bottom, w, h) || inRect(rx, ry, 0, h - m.Bottom, m.Left, h);
            f.edge |= inRect(rx, ry, m.Left, 0, w - m.Right, m.Top) ||
                      inRect(rx, ry, m.Left, h - m.Bottom, w - m.Right, h) ||
                      inRect(rx, ry, 0, m.Top, m.Left, h - m.Bottom) || inRect(rx, ry, w - m.Right, m.Top, w, h - m.Bottom);
            f.center |= inRect(rx, ry, m.Left, m.Top, w - m.Right, h - m.Bottom);
        }
    return f;
}

} // namespace

TEST(BitmapLink, MaskedPixelRules)
{
    TluxBitmap b;
    b.SetSize(4, 3);
    b.Clear(0xFF102030);
    b.SetPixel(1, 1, 0xFF7F007F); // the key colour, but opaque
    b.SetPixel(2, 2, luxNone);    // "no colour" is never masked
    std::unique_ptr<TluxBitmapLink> link(b.GetBitmapLink(b.BoundsRect()));
    link->EdgeMasked = link->CornerMasked = true;
    link->CheckingMasked();
    EXPECT_EQ(flagsOf(*link), Flags{});

    for (TluxColor masked : {0xFE102030u, 0x007F007Fu, 0x00000000u, 0x80FFFFFFu}) {
        b.SetPixel(3, 0, masked);
        link->CheckingMasked();
        EXPECT_EQ(flagsOf(*link), (Flags{false, false, true})) << std::hex << masked;
    }
    b.SetPixel(3, 0, 0x017F007F); // key colour bits with alpha 1: masked by its alpha
    link->CheckingMasked();
    EXPECT_TRUE(link->CenterMasked);
}

TEST(BitmapLink, NineRegionsMatchAPixelByPixelScan)
{
    QRandomGenerator rng(20261207);
    TluxBitmap b;
    b.SetSize(23, 17);
    for (int round = 0; round < 400; ++round) {
        b.Clear(0xFF808080);
        for (int i = rng.bounded(4); i > 0; --i)
            b.SetPixel(rng.bounded(23), rng.bounded(17), rng.bounded(2) ? 0x007F007Fu : 0x80000000u);
        TluxBitmapLink link;
        link.Bitmap = &b;
        link.Left = rng.bounded(-4, 22);
        link.Top = rng.bounded(-4, 16);
        link.Right = link.Left + rng.bounded(-1, 14);
        link.Bottom = link.Top + rng.bounded(-1, 12);
        const bool inside = round % 2 == 0;
        if (inside) { // keep half the links inside the bitmap
            link.Left = std::max(link.Left, 0);
            link.Top = std::max(link.Top, 0);
            link.Right = std::min(link.Right, 23);
            link.Bottom = std::min(link.Bottom, 17);
        }
        const TRect margins = round % 7 == 0 ? TRect()
                                             : Rect(rng.bounded(-1, 6), rng.bounded(-1, 6), rng.bounded(-1, 6),
                                                    rng.bounded(-1, 6));
        link.CheckingMasked(margins);
        ASSERT_EQ(flagsOf(link), bruteForceFlags(link, margins))
            << "round " << round << " link " << link.Left << "," << link.Top << "," << link.Right << ","
            << link.Bottom << " margins " << margins.Left << "," << margins.Top << "," << margins.Right << ","
            << margins.Bottom;
    }

    // A corner pixel with margins of 2: only CornerMasked.
    b.Clear(0xFF808080);
    b.SetPixel(9, 9, 0);
    TluxBitmapLink link;
    link.Bitmap = &b;
    link.Left = link.Top = 0;
    link.Right = link.Bottom = 10;
    link.CheckingMasked(Rect(2, 2, 2, 2));
    EXPECT_EQ(flagsOf(link), (Flags{false, true, false}));
    b.SetPixel(9, 5, 0);
    link.CheckingMasked(Rect(2, 2, 2, 2));
    EXPECT_EQ(flagsOf(link), (Flags{true, true, false}));
}

TEST(BitmapLink, RectanglesOutsideTheBitmapAndWithoutOne)
{
    TluxBitmap b;
    b.SetSize(4, 4);
    b.Clear(0xFF000000);
    TluxBitmapLink link;
    link.Bitmap = &b;
    link.Left = -2'000'000'000; // huge and mostly outside: answered without visiting every pixel
    link.Top = 1;
    link.Right = 2'000'000'000;
    link.Bottom = 2'000'000;
    link.CheckingMasked(Rect(1, 1, 1, 1));
    EXPECT_EQ(flagsOf(link), (Flags{true, true, true}));

    TluxBitmap target;
    target.SetSize(3, 3);
    target.Clear(0xFF445566);
    link.Draw(&target, 0, 0); // the source rectangle is not inside the bitmap: nothing drawn
    EXPECT_EQ(target.GetPixel(0, 0), 0xFF445566u);

    link.Bitmap = nullptr;
    link.Left = 0;
    link.Right = 2;
    link.CheckingMasked();
    EXPECT_EQ(flagsOf(link), (Flags{false, false, true}));
    EXPECT_FALSE(link.GetAssigned());
    link.Draw(&target, 0, 0);

    // An empty link visits nothing and clears what an earlier check set.
    link.Bitmap = &b;
    link.Right = link.Left;
    link.CheckingMasked();
    EXPECT_EQ(flagsOf(link), Flags{});
    EXPECT_FALSE(link.GetAssigned());
}

TEST(BitmapLink, DrawAssignAndCreation)
{
    TluxBitmap b;
    b.SetSize(6, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            b.SetPixel(x, y, 0xFF000000u | uint32_t(x << 8 | y));
    b.Name = QStringLiteral("sheet");
    std::unique_ptr<TluxBitmapLink> link(b.GetBitmapLink(QByteArray("2, 1, 5, 3")));
    EXPECT_EQ(link->Bitmap, &b);
    EXPECT_EQ(link->Name, QStringLiteral("sheet"));
    EXPECT_EQ(link->BoundsRect(), Rect(2, 1, 5, 3));
    EXPECT_TRUE(link->GetAssigned());

    TluxBitmap target;
    target.SetSize(5, 4);
    target.Clear(0xFFFFFFFF);
    link->Draw(&target, 1, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool drawn = x >= 1 && x < 4 && y >= 2;
            EXPECT_EQ(target.GetPixel(x, y), drawn ? b.GetPixel(x + 1, y - 1) : 0xFFFFFFFFu) << x << "," << y;
        }

    link->CenterMasked = true;
    TluxBitmapLink copy;
    copy.Assign(link.get());
    EXPECT_EQ(copy.Bitmap, &b);
    EXPECT_EQ(copy.BoundsRect(), link->BoundsRect());
    EXPECT_EQ(copy.Name, link->Name);
    EXPECT_TRUE(copy.CenterMasked);
    QObject other;
    try {
        copy.Assign(&other);
        ADD_FAILURE() << "assigning a QObject to a link succeeded";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a QObject to a TluxBitmapLink");
    }
    EXPECT_THROW(copy.Assign(nullptr), EConvertError);
    EXPECT_EQ(copy.BoundsRect(), link->BoundsRect());
}

TEST(BitmapList, OwnershipIndexAndNameSearch)
{
    auto list = std::make_unique<TluxBitmapList>();
    const char* names[] = {"button", "Caf\u00e9", "button", "BUTTON2"};
    for (const char* name : names) {
        auto* b = new TluxBitmap;
        b->SetSize(2, 2);
        b->Name = QString::fromUtf8(name);
        list->append(b);
    }
    EXPECT_EQ(list->GetImage(0), list->at(0));
    EXPECT_EQ(list->GetImage(3), list->at(3));
    EXPECT_EQ(list->GetImage(4), nullptr);
    EXPECT_EQ(list->GetImage(-1), nullptr);

    // Capitals A to Z match their lower case; the first match in index order wins.
    EXPECT_EQ(list->GetBitmapByName(QStringLiteral("BUTTON")), list->at(0));
    EXPECT_EQ(list->GetBitmapByName(QStringLiteral("button2")), list->at(3));
    EXPECT_EQ(list->GetBitmapByName(QStringLiteral("CAF\u00e9")), list->at(1));
    EXPECT_EQ(list->GetBitmapByName(QStringLiteral("caf\u00c9")), nullptr); // É is not A to Z
    EXPECT_EQ(list->GetBitmapByName(QStringLiteral("butto")), nullptr);

    std::unique_ptr<TluxBitmapLink> byName(list->GetBitmapLink(QStringLiteral("Button"), QByteArray("0 0 1 1")));
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName->Bitmap, list->at(0));
    EXPECT_EQ(byName->BoundsRect(), Rect(0, 0, 1, 1));
    std::unique_ptr<TluxBitmapLink> byObject(list->GetBitmapLink(list->at(2), Rect(1, 1, 2, 2)));
    ASSERT_TRUE(byObject);
    EXPECT_EQ(byObject->Bitmap, list->at(2));
    TluxBitmap stranger;
    EXPECT_EQ(list->GetBitmapLink(&stranger, Rect(0, 0, 1, 1)), nullptr);
    EXPECT_EQ(list->GetBitmapLink(QStringLiteral("none"), Rect(0, 0, 1, 1)), nullptr);

    // Clear frees the bitmaps: their contexts leave the registry.
    HDC first = list->at(0)->DC;
    list->Clear();
    EXPECT_TRUE(list->isEmpty());
    EXPECT_EQ(FindBitmapByDC(first), nullptr);
    list->append(new TluxBitmap); // freed by the destructor (the sanitizer build checks)
}
