#include "tests/effects/engine/enginetestsupport.h"
#include "effects/masks/randomgen.h"

#include <gtest/gtest.h>

#include <set>

using namespace enginetest;

namespace {

void fakeFade(uint8_t*, int, int, uint8_t) {}
void otherFade(uint8_t*, int, int, uint8_t) {}

} // namespace

TEST(EffectRegistry, RegistersTheBuiltinTableInOrderWithKindPrefixes)
{
    ensureRegistry();
    const auto table = builtinEffects();
    ASSERT_EQ(table.size(), 58u);
    ASSERT_GE(ProcList->Count(), 58);
    int fades = 0, slides = 0, manuals = 0;
    for (int i = 0; i < 58; ++i) {
        const TluxProcItem* item = ProcList->Items(i);
        EXPECT_EQ(item->Name, kindPrefix(table[size_t(i)].Kind) + QString::fromLatin1(table[size_t(i)].Name));
        EXPECT_EQ(item->Proc, table[size_t(i)].Proc);
        fades += item->Kind == pkFade;
        slides += item->Kind == pkSlide;
        manuals += item->Kind == pkManual;
    }
    EXPECT_EQ(fades, 54);
    EXPECT_EQ(slides, 2);
    EXPECT_EQ(manuals, 2);
    EXPECT_EQ(ProcList->Items(0)->Name, QStringLiteral("[ FADE ] - SmoothDiagonal"));
    EXPECT_EQ(ProcList->Items(10)->Name, QStringLiteral("[ FADE ] - SlideDiagonal"));
    EXPECT_EQ(ProcList->Items(33)->Name, QStringLiteral("[ FADE ] - Pixel line"));
    EXPECT_EQ(ProcList->Items(54)->Name, QStringLiteral("[ SLIDE ] - Interlace"));
    EXPECT_EQ(ProcList->Items(57)->Name, QStringLiteral("[ MANUAL ] - Push"));
}

TEST(EffectRegistry, GetProcsFindsFullAndBareNamesInAnyCase)
{
    ensureRegistry();
    const TluxProcItem* fade = ProcList->Items(20);
    ASSERT_EQ(fade->Name, QStringLiteral("[ FADE ] - Fade"));
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("[ FADE ] - Fade")), fade);
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("[ fade ] - FADE")), fade);
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("Fade")), fade);
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("fAdE")), fade);
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("pixel FADE")), ProcList->Items(32));
    // "Slide" is the manual effect; the fade "SlideDown" is not found by a prefix of its name.
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("slide")), ProcList->Items(56));
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("[ SLIDE ] - corner")), ProcList->Items(55));
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("Nope")), nullptr);
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("Fade ")), nullptr);
    EXPECT_EQ(ProcList->GetProcs(QString()), nullptr);
    EXPECT_EQ(ProcList->GetProcs(QString::fromLatin1(luxRandomEffectName)), nullptr);
    // Case folding is ASCII only.
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("F\u00c1DE")), nullptr);
}

TEST(EffectRegistry, DuplicateProcedureOrNameIsRejectedWithTheNameInTheMessage)
{
    ensureRegistry();
    const int before = ProcList->Count();
    try {
        RegisterProc(QStringLiteral("Again"), pkFade, ProcList->Items(3)->Proc);
        FAIL() << "a procedure registered twice must raise";
    } catch (const EProcItemError& e) {
        EXPECT_STREQ(e.what(), "Effect procedute Again already exists in list");
    }
    EXPECT_THROW(RegisterProc(QStringLiteral("smoothdown"), pkFade, toProc(&fakeFade)), EProcItemError);
    EXPECT_THROW(RegisterProc(QStringLiteral("PUSH"), pkFade, toProc(&fakeFade)), EProcItemError);
    EXPECT_EQ(ProcList->Count(), before);
}

TEST(EffectRegistry, LateRegistrationsAreFoundButStayOutOfTheNameList)
{
    ensureRegistry();
    const QStringList names = *GetEffectList();
    const int before = ProcList->Count();
    RegisterProc(QStringLiteral("Test extra"), pkFade, toProc(&otherFade));
    ASSERT_EQ(ProcList->Count(), before + 1);
    EXPECT_EQ(ProcList->GetProcs(QStringLiteral("test EXTRA"))->Name, QStringLiteral("[ FADE ] - Test extra"));
    EXPECT_EQ(*GetEffectList(), names);
}

TEST(EffectRegistry, EffectListHasThePseudoNamesFirstAndQuotesEveryEntry)
{
    ensureRegistry();
    const QStringList& list = *GetEffectList();
    ASSERT_EQ(list.size(), 60);
    EXPECT_EQ(list[0], QStringLiteral("[ RANDOM ] - Random selection"));
    EXPECT_EQ(list[1], QStringLiteral("[ BITMAP ] - Bitmap Animation"));
    for (int i = 0; i < 58; ++i)
        EXPECT_EQ(list[i + 2], ProcList->Items(i)->Name);
    const QString comma = GetEffectListComma();
    EXPECT_TRUE(comma.startsWith(QStringLiteral("\"[ RANDOM ] - Random selection\",\"[ BITMAP ] - Bitmap Animation\",\"[ FADE ] - SmoothDiagonal\",")));
    EXPECT_TRUE(comma.endsWith(QStringLiteral(",\"[ MANUAL ] - Slide\",\"[ MANUAL ] - Push\"")));
    EXPECT_EQ(comma.count(u'"'), 120);
    EXPECT_EQ(comma.count(u','), 59);
}

TEST(EffectRegistry, CommaTextQuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(commaText({QStringLiteral("plain"), QStringLiteral("a b"), QStringLiteral("x,y"),
                         QStringLiteral("say \"hi\""), QStringLiteral("tab\there")}),
              QStringLiteral("plain,\"a b\",\"x,y\",\"say \"\"hi\"\"\",\"tab\there\""));
    EXPECT_EQ(commaText({}), QString());
}

TEST(SharedRandom, FollowsTheLinearCongruentialRule)
{
    RandSeed = 0;
    EXPECT_EQ(Random(100), uint32_t((uint64_t(1u) * 100) >> 32));
    EXPECT_EQ(RandSeed, 1u);
    EXPECT_EQ(Random(1u << 31), uint32_t((uint64_t(134775814u) << 31) >> 32));
    EXPECT_EQ(RandSeed, 134775814u);
    RandSeed = 0xFFFFFFFFu;
    EXPECT_EQ(Random(10), uint32_t((uint64_t(0xFFFFFFFFu * 134775813u + 1u) * 10) >> 32));
    // Jumping ahead equals drawing one by one.
    RandSeed = 12345;
    for (int i = 0; i < 1000; ++i)
        Random(7);
    EXPECT_EQ(advanceSeed(12345, 1000), RandSeed);
    EXPECT_EQ(advanceSeed(777, 0), 777u);
}

TEST(SharedRandom, RandomSelectionReachesEveryKindAndRepeats)
{
    ensureRegistry();
    RandSeed = 42;
    std::set<const TluxProcItem*> seen;
    bool repeated = false;
    const TluxProcItem* previous = nullptr;
    for (int i = 0; i < 5000; ++i) {
        const TluxProcItem* item = ResolveEffect(QString::fromLatin1(luxRandomEffectName));
        ASSERT_NE(item, nullptr);
        repeated |= item == previous;
        previous = item;
        seen.insert(item);
    }
    EXPECT_EQ(int(seen.size()), ProcList->Count());
    EXPECT_TRUE(repeated);
    // The random pseudo name is matched exactly; the bitmap pseudo name resolves to nothing.
    EXPECT_EQ(ResolveEffect(QStringLiteral("[ random ] - Random selection")), nullptr);
    EXPECT_EQ(ResolveEffect(QString::fromLatin1(luxBitmapEffectName)), nullptr);
    EXPECT_EQ(ResolveEffect(QStringLiteral("Plasma")), ProcList->Items(53));
}

TEST(SharedRandom, SelectionDrawsFromTheSharedGenerator)
{
    ensureRegistry();
    RandSeed = 99;
    const uint32_t expected = uint32_t((uint64_t(99u * 134775813u + 1u) * uint32_t(ProcList->Count())) >> 32);
    EXPECT_EQ(RandomProcItem(), ProcList->Items(int(expected)));
}
