// TluxBitmap: pixel memory, its device context, the registry of bitmaps by
// context, and the whole-bitmap operations (fills, alpha, pixel access).

#include "effects/bitmap/luxbitmap.h"

#include "effects/bitmap/pixelmemory.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <vector>

bool EnableDibOperation = true;

namespace {

// Every bitmap that owns a DC, oldest first; created on first use.
std::vector<TluxBitmap*>* g_registry = nullptr;

void registerBitmap(TluxBitmap* bitmap)
{
    if (!g_registry)
        g_registry = new std::vector<TluxBitmap*>;
    g_registry->push_back(bitmap);
}

void unregisterBitmap(TluxBitmap* bitmap)
{
    if (!g_registry)
        return;
    auto it = std::find(g_registry->begin(), g_registry->end(), bitmap);
    if (it != g_registry->end())
        g_registry->erase(it);
}

// Cuts R to Rect(0, 0, width, height); false when nothing is left.
bool clipToBitmap(const TRect& r, int width, int height, TRect& out)
{
    out = TRect(std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width), std::min(r.Bottom, height));
    return out.Right > out.Left && out.Bottom > out.Top;
}

} // namespace

TluxBitmap* FindBitmapByDC(HDC dc)
{
    if (!g_registry || !dc)
        return nullptr;
    for (TluxBitmap* bitmap : *g_registry)
        if (bitmap->DC == dc)
            return bitmap;
    return nullptr;
}

void freeBitmapRegistry()
{
    delete g_registry;
    g_registry = nullptr;
}

TluxBitmap::TluxBitmap() = default;

TluxBitmap::~TluxBitmap()
{
    releaseMemory();
}

void TluxBitmap::releaseMemory()
{
    if (DC)
        unregisterBitmap(this);
    delete DC;
    DC = nullptr;
    delete Handle;
    Handle = nullptr;
    if (Bits)
        luxmemory::freePixels(Bits, m_mappedBytes);
    Bits = nullptr;
    m_mappedBytes = 0;
}

void TluxBitmap::SetSize(int W, int H)
{
    const int64_t w = std::llabs(int64_t(W)), h = std::llabs(int64_t(H));
    if (w == 0 || h == 0 || (w == Width && h == Height))
        return;
    releaseMemory();
    BitmapInfo.biWidth = int32_t(std::min<int64_t>(w, INT32_MAX));
    BitmapInfo.biHeight = -int32_t(std::min<int64_t>(h, INT32_MAX));

    // A section larger than a signed 32-bit byte count is refused, as the
    // window system refuses it; this also keeps Width * Height a valid count.
    if (w * h > INT32_MAX / 4)
        throw std::runtime_error("Can't allocate the DIB handle");
    const size_t bytes = size_t(w * h) * sizeof(TluxColor);
    size_t mapped = 0;
    TluxColor* bits = luxmemory::allocatePixels(bytes, mapped);
    if (!bits)
        throw std::runtime_error("Can't allocate the DIB handle");
    QImage* image = new (std::nothrow)
        QImage(reinterpret_cast<uchar*>(bits), int(w), int(h), qsizetype(w) * 4, QImage::Format_ARGB32);
    if (!image) {
        luxmemory::freePixels(bits, mapped);
        throw std::runtime_error("Can't allocate the DIB handle");
    }
    Bits = bits;
    m_mappedBytes = mapped;
    Handle = image;

    DC = new (std::nothrow) DeviceContext();
    if (!DC) {
        releaseMemory();
        throw std::runtime_error("Can't create compatible DC");
    }
    DC->selectImage(Handle);
    if (DC->image() != Handle || Handle->isNull() || Handle->constBits() != reinterpret_cast<const uchar*>(Bits)) {
        releaseMemory();
        throw std::runtime_error("Can't select an object into DC");
    }
    registerBitmap(this);
    Width = int(w);
    Height = int(h);
}

void TluxBitmap::Clear(TluxColor C)
{
    if (Bits)
        FillLongwordFunc(Bits, Width * Height, C);
}

void TluxBitmap::SetAlpha(unsigned char A)
{
    if (!Empty())
        FillAlphaFunc(Bits, Width * Height, A);
}

void TluxBitmap::SetAlpha(unsigned char A, const TRect& R)
{
    if (R.Width() == 0 || R.Height() == 0 || !Bits)
        return;
    TRect c;
    if (clipToBitmap(R, Width, Height, c))
        FillAlphaRectFunc(Bits, Width, Height, c.Left, c.Top, c.Right - 1, c.Bottom - 1, A);
}

void TluxBitmap::CheckingAlphaBlend()
{
    AlphaBlend = false;
    if (Empty())
        return;
    const TluxColor* end = Bits + qsizetype(Width) * Height;
    for (const TluxColor* p = Bits; p != end; ++p) {
        const uint32_t a = *p >> 24;
        if (a != 0 && a != 255) {
            AlphaBlend = true;
            return;
        }
    }
}

void TluxBitmap::CheckingAlphaBlend(const TRect& /*R*/)
{
    CheckingAlphaBlend();
}

void TluxBitmap::CheckingTransparent(TluxColor C)
{
    Transparent = false;
    if (Empty())
        return;
    const auto near = [](uint32_t p, uint32_t c, int shift) {
        return std::abs(int((p >> shift) & 0xFF) - int((c >> shift) & 0xFF)) < 6;
    };
    TluxColor* end = Bits + qsizetype(Width) * Height;
    for (TluxColor* p = Bits; p != end; ++p) {
        if (near(*p, C, 0) && near(*p, C, 8) && near(*p, C, 16)) {
            *p = luxTransparent;
            Transparent = true;
        }
    }
}

void TluxBitmap::CheckingTransparent(const TRect& /*R*/, TluxColor C)
{
    CheckingTransparent(C);
}

TluxColor TluxBitmap::GetPixel(int X, int Y) const
{
    if (!Bits || X < 0 || Y < 0 || X >= Width || Y >= Height)
        return 0;
    return *GetPixelPtr(X, Y);
}

void TluxBitmap::SetPixel(int X, int Y, TluxColor C)
{
    if (!Bits || X < 0 || Y < 0 || X >= Width || Y >= Height)
        return;
    *GetPixelPtr(X, Y) = C;
}

void TluxBitmap::FillRect(const TRect& R, TluxColor C)
{
    TRect c;
    if (!Bits || !clipToBitmap(R, Width, Height, c))
        return;
    if (!AlphaBlend) {
        FillLongwordRectFunc(Bits, Width, Height, c.Left, c.Top, c.Right - 1, c.Bottom - 1, C);
        return;
    }
    const int w = c.Width();
    TArrayOfluxColor row(size_t(w), 0);
    FillLongwordFunc(row.data(), w, C);
    for (int y = c.Top; y < c.Bottom; ++y)
        LineAlphaBlendFunc(row.data(), GetPixelPtr(c.Left, y), w);
}
