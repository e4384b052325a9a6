// The registration table of the built-in effects: one line per effect, in the order, with the
// names and kinds under which the effect list shows them.

#include "effects/engine/builtineffects.h"

#include "effects/engine/effectregistry.h"
#include "effects/engine/generators.h"
#include "effects/engine/manualeffects.h"

#include <algorithm>
#include <iterator>

namespace {

using namespace generators;

// Every fade procedure checks its grid once, then runs its generator.
template <void (*Generate)(MaskGrid&, int)>
void fade(uint8_t* Mask, int W, int H, uint8_t Progress)
{
    if (!Mask || W <= 0 || H <= 0)
        return;
    MaskGrid m{Mask, W, H};
    Generate(m, Progress);
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

#define FADE(name, generator) {name, pkFade, toProc(&fade<generator>)}
#define SLIDE(name, generator) {name, pkSlide, toProc(&slide<generator>)}
#define MANUAL(name, procedure) {name, pkManual, toProc(&procedure)}

const BuiltinEffect table[] = {
    FADE("SmoothDiagonal", smoothDiagonal),
    FADE("SmoothDiagonalIn", smoothDiagonalIn),
    FADE("SmoothDiagonalOut", smoothDiagonalOut),
    FADE("SmoothDown", smoothDown),
    FADE("SmoothIn", smoothIn),
    FADE("SmoothOut", smoothOut),
    FADE("SmoothCrossOut", smoothCrossOut),
    FADE("SmoothCrossIn", (in<InKind::Smooth, smoothCrossOut>)),
    FADE("SmoothRectIn", (in<InKind::Smooth, smoothRectOut>)),
    FADE("SmoothRectOut", smoothRectOut),
    FADE("SlideDiagonal", solid<diagonalWipe>),
    FADE("SlideDiagonalIn", solid<cornerTriangles>),
    FADE("SlideDiagonalOut", solid<diagonalBand>),
    FADE("SlideDown", solid<rowsDown>),
    FADE("SlideIn", solid<rowsIn>),
    FADE("SlideOut", solid<rowsOut>),
    FADE("SlideCrossOut", solid<crossOut>),
    FADE("SlideCrossIn", (in<InKind::Slide, solid<crossOut>>)),
    FADE("SlideRectOut", solid<rectOut>),
    FADE("SlideRectIn", (in<InKind::Slide, solid<rectOut>>)),
    FADE("Fade", fadeWhole),
    FADE("FadeDiagonal", faded<diagonalWipe>),
    FADE("FadeDiagonalIn", faded<cornerTriangles>),
    FADE("FadeDiagonalOut", faded<diagonalBand>),
    FADE("FadeDown", faded<rowsDown>),
    FADE("FadeIn", faded<rowsIn>),
    FADE("FadeOut", faded<rowsOut>),
    FADE("FadeCrossOut", faded<crossOut>),
    FADE("FadeCrossIn", (in<InKind::Fade, faded<crossOut>>)),
    FADE("FadeRectOut", faded<rectOut>),
    FADE("FadeRectIn", (in<InKind::Fade, faded<rectOut>>)),
    FADE("Pixel", pixels),
    FADE("Pixel fade", pixelsFade),
    FADE("Pixel line", pixelLine),
    FADE("CircleSlideOut", solid<circleOut>),
    FADE("CircleFadeOut", faded<circleOut>),
    FADE("CircleSmoothOut", smoothCircleOut),
    FADE("CircleSlideIn", solid<circleIn>),
    FADE("CircleFadeIn", faded<circleIn>),
    FADE("CircleSmoothIn", (in<InKind::Smooth, smoothCircleOut>)),
    FADE("CircleSlide", solid<cornerCircle>),
    FADE("CircleFade", faded<cornerCircle>),
    FADE("CircleSmooth", smoothCornerCircle),
    FADE("DiamondSlideIn", (in<InKind::Slide, solid<diamondOut>>)),
    FADE("DiamondFadeIn", (in<InKind::Fade, faded<diamondOut>>)),
    FADE("DiamondSmoothIn", (in<InKind::Smooth, smoothDiamondOut>)),
    FADE("DiamondSlideOut", solid<diamondOut>),
    FADE("DiamondFadeOut", faded<diamondOut>),
    FADE("DiamondSmoothOut", smoothDiamondOut),
    FADE("RotateSlide", solid<rotateHand>),
    FADE("RotateFade", faded<rotateHand>),
    FADE("RotateSmooth", smoothRotateHand),
    FADE("Stream", stream),
    FADE("Plasma", plasma),
    SLIDE("Interlace", interlaceRow),
    SLIDE("Corner", cornerRow),
    MANUAL("Slide", slideEffect),
    MANUAL("Push", pushEffect),
};

#undef FADE
#undef SLIDE
#undef MANUAL

static_assert(sizeof(table) / sizeof(table[0]) == builtinEffectCount, "one table line per built-in effect");

} // namespace

std::span<const BuiltinEffect> builtinEffects()
{
    return table;
}

void RegisterBuiltinEffects()
{
    for (const BuiltinEffect& e : table)
        RegisterProc(QString::fromLatin1(e.Name), e.Kind, e.Proc);
}

SlideRowProc slideRowForm(TluxProc Proc)
{
    if (!Proc)
        return nullptr;
    if (Proc == toProc(&slide<interlaceRow>))
        return &slideRow<interlaceRow>;
    if (Proc == toProc(&slide<cornerRow>))
        return &slideRow<cornerRow>;
    return nullptr;
}

bool drawsShapeRecord(TluxProc Proc)
{
    static const TluxProc procs[] = {
        toProc(&fade<smoothDiagonal>),
        toProc(&fade<smoothDiagonalIn>),
        toProc(&fade<smoothDiagonalOut>),
        toProc(&fade<smoothCrossOut>),
        toProc(&fade<in<InKind::Smooth, smoothCrossOut>>),
        toProc(&fade<in<InKind::Smooth, smoothRectOut>>),
        toProc(&fade<smoothRectOut>),
        toProc(&fade<solid<rectOut>>),
        toProc(&fade<in<InKind::Slide, solid<rectOut>>>),
        toProc(&fade<faded<rectOut>>),
        toProc(&fade<in<InKind::Fade, faded<rectOut>>>),
        toProc(&fade<in<InKind::Slide, solid<diamondOut>>>),
        toProc(&fade<in<InKind::Fade, faded<diamondOut>>>),
        toProc(&fade<in<InKind::Smooth, smoothDiamondOut>>),
        toProc(&fade<solid<diamondOut>>),
        toProc(&fade<faded<diamondOut>>),
        toProc(&fade<smoothDiamondOut>),
        toProc(&fade<solid<rotateHand>>),
        toProc(&fade<faded<rotateHand>>),
        toProc(&fade<smoothRotateHand>),
    };
    return Proc && std::find(std::begin(procs), std::end(procs), Proc) != std::end(procs);
}

bool drawsRandomCells(TluxProc Proc)
{
    return Proc && (Proc == toProc(&fade<pixels>) || Proc == toProc(&fade<pixelsFade>) ||
                    Proc == toProc(&fade<pixelLine>));
}
