#include "effects/bitmap/bitmaplink.h"

#include "effects/bitmap/assignerror.h"
#include "effects/bitmap/recordreader_p.h"
#include "effects/util/tokenizer.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {
constexpr const char* RecordName = "Bitmap link record";
}

TluxBitmapLink::TluxBitmapLink(QObject* parent) : QObject(parent) {}

TluxBitmapLink::~TluxBitmapLink() = default;

void TluxBitmapLink::Assign(const QObject* Source)
{
    const auto* link = qobject_cast<const TluxBitmapLink*>(Source);
    if (!link)
        raiseAssignError(Source, this);
    if (link == this)
        return;
    Bitmap = link->Bitmap;
    Left = link->Left;
    Top = link->Top;
    Right = link->Right;
    Bottom = link->Bottom;
    Name = link->Name;
    EdgeMasked = link->EdgeMasked;
    CornerMasked = link->CornerMasked;
    CenterMasked = link->CenterMasked;
}

void TluxBitmapLink::LoadFromStream(QIODevice* Stream)
{
    luxstream::requireReadable(Stream, RecordName);
    luxstream::ReadGuard guard(Stream);
    luxstream::RecordReader reader(Stream, RecordName);
    const QByteArray name = reader.name();
    const int32_t left = reader.int32("left");
    const int32_t top = reader.int32("top");
    const int32_t right = reader.int32("right");
    const int32_t bottom = reader.int32("bottom");
    Name = QString::fromLatin1(name);
    Left = left;
    Top = top;
    Right = right;
    Bottom = bottom;
    guard.commit();
}

void TluxBitmapLink::SaveToStream(QIODevice* Stream) const
{
    luxstream::requireWritable(Stream, RecordName);
    luxstream::writeName(Stream, Name, RecordName);
    for (int32_t v : {Left, Top, Right, Bottom})
        luxstream::writeInt32(Stream, v, RecordName);
}

void TluxBitmapLink::CheckingMasked()
{
    CheckingMasked(TRect(0, 0, 0, 0));
}

void TluxBitmapLink::CheckingMasked(const TRect& Margins)
{
    EdgeMasked = false;
    CornerMasked = false;
    CenterMasked = false;
    const int64_t w = int64_t(Right) - Left, h = int64_t(Bottom) - Top;
    if (w <= 0 || h <= 0)
        return;
    const int64_t ml = Margins.Left, mt = Margins.Top, mr = Margins.Right, mb = Margins.Bottom;
    struct Region {
        int64_t left, top, right, bottom;
        bool* flag;
    };
    // Link-relative, right and bottom exclusive. With all margins 0 the corners
    // and edges are empty and the centre is the whole link.
    const Region regions[] = {
        {0, 0, ml, mt, &CornerMasked},
        {w - mr, 0, w, mt, &CornerMasked},
        {w - mr, h - mb, w, h, &CornerMasked},
        {0, h - mb, ml, h, &CornerMasked},
        {ml, 0, w - mr, mt, &EdgeMasked},
        {ml, h - mb, w - mr, h, &EdgeMasked},
        {0, mt, ml, h - mb, &EdgeMasked},
        {w - mr, mt, w, h - mb, &EdgeMasked},
        {ml, mt, w - mr, h - mb, &CenterMasked},
    };
    // Pixels the bitmap does not have read as 0, which is masked; so a region
    // reaching outside the bitmap is masked without looking at every pixel.
    const bool hasPixels = Bitmap && Bitmap->Bits;
    const int64_t bw = hasPixels ? Bitmap->Width : 0, bh = hasPixels ? Bitmap->Height : 0;
    for (const Region& r : regions) {
        if (*r.flag)
            continue;
        const int64_t x0 = Left + std::max<int64_t>(r.left, 0), x1 = Left + std::min(r.right, w);
        const int64_t y0 = Top + std::max<int64_t>(r.top, 0), y1 = Top + std::min(r.bottom, h);
        if (x1 <= x0 || y1 <= y0)
            continue;
        if (x0 < 0 || y0 < 0 || x1 > bw || y1 > bh) {
            *r.flag = true;
            continue;
        }
        for (int64_t x = x0; x < x1 && !*r.flag; ++x)
            for (int64_t y = y0; y < y1; ++y)
                if (IsMaskedPixel(*Bitmap->GetPixelPtr(int(x), int(y)))) {
                    *r.flag = true;
                    break;
                }
    }
}

// A rectangle reaching outside the bitmap draws nothing (the bitmap's Draw
// refuses such a source); it is refused here already, together with positions
// whose far edge would not fit in 32 bits, so that no edge is ever computed
// past the integer range.
bool TluxBitmapLink::drawable(int X, int Y) const
{
    if (!Bitmap || Bitmap->Empty() || Right <= Left || Bottom <= Top)
        return false;
    if (Left < 0 || Top < 0 || Right > Bitmap->Width || Bottom > Bitmap->Height)
        return false;
    return int64_t(X) + (Right - Left) <= INT32_MAX && int64_t(Y) + (Bottom - Top) <= INT32_MAX;
}

void TluxBitmapLink::Draw(TCanvas* Canvas, int X, int Y) const
{
    if (drawable(X, Y))
        Bitmap->Draw(Canvas, X, Y, BoundsRect());
}

void TluxBitmapLink::Draw(TluxBitmap* Target, int X, int Y) const
{
    if (drawable(X, Y))
        Bitmap->Draw(Target, X, Y, BoundsRect());
}

bool TluxBitmapLink::GetAssigned() const
{
    return Bitmap && (int64_t(Right) - Left) * (int64_t(Bottom) - Top) > 0;
}

TluxBitmapLink* TluxBitmap::GetBitmapLink(const TRect& R)
{
    auto* link = new TluxBitmapLink;
    link->Bitmap = this;
    link->Name = Name;
    link->Left = R.Left;
    link->Top = R.Top;
    link->Right = R.Right;
    link->Bottom = R.Bottom;
    return link;
}

TluxBitmapLink* TluxBitmap::GetBitmapLink(const QByteArray& RectText)
{
    return GetBitmapLink(StringToRect(RectText));
}
