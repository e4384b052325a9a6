// The registration table of the built-in effects: one line per effect, in the order, with the
// names and kinds under which the effect list shows them.

#include "effects/engine/builtineffects.h"

#include "effects/engine/effectregistry.h"
#include "effects/masks/generators.h"
#include "effects/masks/maskrows.h"
#include "effects/masks/pixelorder.h"
#include "effects/masks/randomgen.h"
#include "effects/masks/shapecover.h"
#include "effects/engine/manualeffects.h"

#include <algorithm>
#include <iterator>

namespace {

using namespace generators;

int startUpCount = 0;

// Every fade procedure checks its grid once, then runs its generator.
template <void (*Generate)(MaskGrid&, int)>
void fade(uint8_t* Mask, int W, int H, uint8_t Progress)
{
    if (!Mask || W <= 0 || H <= 0)
        return;
    MaskGrid m{Mask, W, H};
    Generate(m, Progress);
}

// The same generator run on a planning grid, which leaves its set-up in the plan.
template <void (*Generate)(MaskGrid&, int)>
bool maskRows(MaskRowPlan& Plan, int W, int H, uint8_t Progress)
{
    if (W <= 0 || H <= 0)
        return false;
    Plan.start(W, H);
    MaskGrid m{nullptr, W, H, &Plan};
    Generate(m, Progress);
    return Plan.usable();
}

// A slide procedure is its row form run over the grid's rows, top to bottom.
template <void (*Fill)(TluxCell*, int, int, int, int)>
void slideRow(TluxCell* Row, int W, int H, int Y, uint8_t Progress)
{
    if (!Row || W <= 0 || H <= 0 || Y < 0 || Y >= H)
        return;
    Fill(Row, W, H, Y, Progress);
}

template <void (*Fill)(TluxCell*, int, int, int, int)>
void slide(TluxCell* Cells, int W, int H, uint8_t Progress)
{
    if (!Cells || W <= 0 || H <= 0)
        return;
    for (int y = 0; y < H; ++y)
        Fill(Cells + size_t(y) * size_t(W), W, H, y, Progress);
}

// The fixed-value families in their two flavours: 255 ("Slide...") or V ("Fade...").
template <void (*Shape)(MaskGrid&, int, uint8_t)>
void solid(MaskGrid& m, int P)
{
    Shape(m, P, 255);
}

template <void (*Shape)(MaskGrid&, int, uint8_t)>
void faded(MaskGrid& m, int P)
{
    Shape(m, P, uint8_t(fadeLevel(P)));
}

template <InKind Kind, void (*Out)(MaskGrid&, int)>
void in(MaskGrid& m, int P)
{
    invertedVariant(m, P, Kind, Out);
}

// The shape families' frames read the shape record, costly to record for nearly every shape at
// the first frame of an In variant: the set-up starts recording it ahead for the grid.
template <void (*Generate)(MaskGrid&, int)>
void recordAhead(int W, int H)
{
    recordShapesAhead(W, H, Generate);
}

// The pixel family's frames share one random order of the grid's cells, costly to draw to its
// end (see pixelorder.h): it is drawn ahead for the grid.
void drawCellOrder(int W, int H)
{
    pixelOrder().prepareAhead(uint32_t(W) * uint32_t(H));
}

#define FADE(name, generator) {name, pkFade, toProc(&fade<generator>)}
// Fade procedures that fill every cell from one value, a record or a computation of its row alone:
// their masks can be made a row at a time (the circles keep their record in circlecover.h).
#define ROWS(name, generator) {name, pkFade, toProc(&fade<generator>), nullptr, nullptr, nullptr, &maskRows<generator>}
// The families whose masks come from the shape record (see shapecover.h): the soft diagonals,
// the cross and rectangles, the diamonds and the rotating hand start recording it for their grid.
#define SHAPES(name, generator)                                                                                        \
    {name, pkFade, toProc(&fade<generator>), &recordAhead<generator>, &releaseShapeCovers, nullptr,                   \
     &maskRows<generator>}
#define CELLS(name, generator)                                                                                         \
    {name, pkFade, toProc(&fade<generator>), &drawCellOrder, &releasePixelOrderCache, nullptr, &maskRows<generator>}
#define SLIDE(name, generator) {name, pkSlide, toProc(&slide<generator>), nullptr, nullptr, &slideRow<generator>}
#define MANUAL(name, procedure) {name, pkManual, toProc(&procedure)}

const BuiltinEffect table[] = {
    SHAPES("SmoothDiagonal", smoothDiagonal),
    SHAPES("SmoothDiagonalIn", smoothDiagonalIn),
    SHAPES("SmoothDiagonalOut", smoothDiagonalOut),
    FADE("SmoothDown", smoothDown),
    FADE("SmoothIn", smoothIn),
    FADE("SmoothOut", smoothOut),
    SHAPES("SmoothCrossOut", smoothCrossOut),
    SHAPES("SmoothCrossIn", (in<InKind::Smooth, smoothCrossOut>)),
    SHAPES("SmoothRectIn", (in<InKind::Smooth, smoothRectOut>)),
    SHAPES("SmoothRectOut", smoothRectOut),
    FADE("SlideDiagonal", solid<diagonalWipe>),
    FADE("SlideDiagonalIn", solid<cornerTriangles>),
    FADE("SlideDiagonalOut", solid<diagonalBand>),
    FADE("SlideDown", solid<rowsDown>),
    FADE("SlideIn", solid<rowsIn>),
    FADE("SlideOut", solid<rowsOut>),
    FADE("SlideCrossOut", solid<crossOut>),
    FADE("SlideCrossIn", (in<InKind::Slide, solid<crossOut>>)),
    SHAPES("SlideRectOut", solid<rectOut>),
    SHAPES("SlideRectIn", (in<InKind::Slide, solid<rectOut>>)),
    ROWS("Fade", fadeWhole),
    FADE("FadeDiagonal", faded<diagonalWipe>),
    FADE("FadeDiagonalIn", faded<cornerTriangles>),
    FADE("FadeDiagonalOut", faded<diagonalBand>),
    FADE("FadeDown", faded<rowsDown>),
    FADE("FadeIn", faded<rowsIn>),
    FADE("FadeOut", faded<rowsOut>),
    FADE("FadeCrossOut", faded<crossOut>),
    FADE("FadeCrossIn", (in<InKind::Fade, faded<crossOut>>)),
    SHAPES("FadeRectOut", faded<rectOut>),
    SHAPES("FadeRectIn", (in<InKind::Fade, faded<rectOut>>)),
    CELLS("Pixel", pixels),
    CELLS("Pixel fade", pixelsFade),
    CELLS("Pixel line", pixelLine),
    ROWS("CircleSlideOut", solid<circleOut>),
    ROWS("CircleFadeOut", faded<circleOut>),
    ROWS("CircleSmoothOut", smoothCircleOut),
    ROWS("CircleSlideIn", solid<circleIn>),
    ROWS("CircleFadeIn", faded<circleIn>),
    ROWS("CircleSmoothIn", (in<InKind::Smooth, smoothCircleOut>)),
    ROWS("CircleSlide", solid<cornerCircle>),
    ROWS("CircleFade", faded<cornerCircle>),
    ROWS("CircleSmooth", smoothCornerCircle),
    SHAPES("DiamondSlideIn", (in<InKind::Slide, solid<diamondOut>>)),
    SHAPES("DiamondFadeIn", (in<InKind::Fade, faded<diamondOut>>)),
    SHAPES("DiamondSmoothIn", (in<InKind::Smooth, smoothDiamondOut>)),
    SHAPES("DiamondSlideOut", solid<diamondOut>),
    SHAPES("DiamondFadeOut", faded<diamondOut>),
    SHAPES("DiamondSmoothOut", smoothDiamondOut),
    SHAPES("RotateSlide", solid<rotateHand>),
    SHAPES("RotateFade", faded<rotateHand>),
    SHAPES("RotateSmooth", smoothRotateHand),
    FADE("Stream", stream),
    ROWS("Plasma", plasma),
    SLIDE("Interlace", interlaceRow),
    SLIDE("Corner", cornerRow),
    MANUAL("Slide", slideEffect),
    MANUAL("Push", pushEffect),
};

#undef FADE
#undef ROWS
#undef SHAPES
#undef CELLS
#undef SLIDE
#undef MANUAL

static_assert(sizeof(table) / sizeof(table[0]) == builtinEffectCount, "one table line per built-in effect");

} // namespace

std::span<const BuiltinEffect> builtinEffects()
{
    return table;
}

const BuiltinEffect* builtinEffectFor(TluxProc Proc)
{
    if (!Proc)
        return nullptr;
    const auto found = std::find_if(std::begin(table), std::end(table),
                                    [Proc](const BuiltinEffect& e) { return e.Proc == Proc; });
    return found == std::end(table) ? nullptr : found;
}

void RegisterBuiltinEffects()
{
    for (const BuiltinEffect& e : table)
        RegisterProc(QString::fromLatin1(e.Name), e.Kind, e.Proc);
}

SlideRowProc slideRowForm(TluxProc Proc)
{
    const BuiltinEffect* e = builtinEffectFor(Proc);
    return e ? e->RowForm : nullptr;
}

MaskRowsProc maskRowsForm(TluxProc Proc)
{
    const BuiltinEffect* e = builtinEffectFor(Proc);
    return e ? e->MaskRows : nullptr;
}

void StartEffectRegistry()
{
    if (startUpCount++ > 0)
        return;
    Randomize();
    RegisterBuiltinEffects();
    GetEffectList();
}

void ShutDownEffectRegistry()
{
    if (startUpCount == 0 || --startUpCount > 0)
        return;
    ClearEffectRegistry();
    for (const BuiltinEffect& e : table)
        if (e.ReleaseCaches)
            e.ReleaseCaches();
}
