#pragma once
// TluxBitmap: the 32-bit, top-down pixel surface of the effects library.
//
// Its pixels are plain memory (Bits, Width * Height TluxColor values, rows
// without gaps), and at the same time the image of its own memory device
// context (DC), so that platform drawing (text, frame controls, screen copies)
// and direct pixel work see the same bytes. Draw copies a rectangle of it,
// scaled by nearest-neighbour sampling when the sizes differ, onto another
// TluxBitmap, a canvas or a device context: opaque, skipping key-colour pixels
// (Transparent) or blending by per-pixel alpha (AlphaBlend, which wins).

#include "platform/canvas.h"
#include "platform/devicecontext.h"
#include "effects/bitmap/luxcolor.h"
#include "effects/bitmap/rasterprimitives.h"
#include "platform/types.h"

#include <QImage>
#include <QString>

class QClipboard;
class QIODevice;
class TluxBitmapLink;

// The 40-byte header of a device-independent bitmap.
struct TBitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 32;
    uint32_t biCompression = 0; // uncompressed RGB
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
static_assert(sizeof(TBitmapInfoHeader) == 40);

// The platform bitmap: a QImage of Format_ARGB32 over the bitmap's own memory.
using HBITMAP = QImage*;

// The mark of the drawing operations that exist only for their signatures (see the class).
#define LUX_DRAWS_NOTHING [[deprecated("draws nothing: the canvas painting routines draw this")]]

class TluxBitmap {
public:
    // An empty bitmap: BitmapInfo prepared, everything else 0, flags false.
    TluxBitmap();
    // Leaves the bitmap registry, deletes DC, then Handle and the memory.
    virtual ~TluxBitmap();
    TluxBitmap(const TluxBitmap&) = delete;
    TluxBitmap& operator=(const TluxBitmap&) = delete;

    // First pixel of the top row; null while empty. Pixel (x, y) is Bits[y * Width + x].
    TluxColor* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    QString Name;
    TBitmapInfoHeader BitmapInfo;
    HBITMAP Handle = nullptr;
    // Memory device context drawing into Handle; null while empty.
    HDC DC = nullptr;
    bool AlphaBlend = false;
    bool Transparent = false;

    // (Re)creates all-zero pixel memory of |W| x |H|. Nothing happens when
    // either is 0 or the size is unchanged. Throws std::runtime_error with
    // "Can't allocate the DIB handle", "Can't create compatible DC" or
    // "Can't select an object into DC"; the bitmap is then empty.
    void SetSize(int W, int H);
    bool Empty() const { return Handle == nullptr; }

    void Clear(TluxColor C);
    void SetAlpha(unsigned char A);
    void SetAlpha(unsigned char A, const TRect& R);
    // AlphaBlend := some alpha byte lies strictly between 0 and 255.
    void CheckingAlphaBlend();
    void CheckingAlphaBlend(const TRect& R);
    // Pixels whose red, green and blue each differ from C's by less than 6
    // become luxTransparent; Transparent := any pixel did.
    void CheckingTransparent(TluxColor C);
    void CheckingTransparent(const TRect& R, TluxColor C);

    // No range checks: callers keep within the bitmap.
    TluxColor* GetScanLine(int Y) const { return Bits + qsizetype(Y) * Width; }
    TluxColor* GetPixelPtr(int X, int Y) const { return Bits + qsizetype(Y) * Width + X; }
    // 0 outside the bitmap or while empty.
    TluxColor GetPixel(int X, int Y) const;
    // Ignored outside the bitmap or while empty.
    void SetPixel(int X, int Y, TluxColor C);

    // A copy of Source: size, pixels, Name, Transparent and AlphaBlend. An empty
    // Source empties this bitmap too.
    virtual void Assign(const TluxBitmap* Source);
    // Pixels of a picture. Format_ARGB32 keeps its alpha and runs
    // CheckingAlphaBlend; every other format is converted and made opaque.
    virtual void Assign(const QImage& Source);
    // Dest := a Format_ARGB32 image of this size with this bitmap drawn at (0, 0)
    // (onto all-zero pixels, so blending bitmaps come out blended over zero).
    virtual void AssignTo(QImage& Dest) const;
    // Puts the picture AssignTo gives on the clipboard.
    virtual void AssignTo(QClipboard* Dest) const;

    // Paints G stretched into R; pixels G leaves pure magenta (255, 0, 255) are
    // left unchanged, the others copied with the alpha the drawing gave them.
    void DrawGraphic(const QImage& G, const TRect& R);
    // Fills R clipped to the bitmap with C, blending by C's alpha when AlphaBlend is set.
    void FillRect(const TRect& R, TluxColor C);

    // Onto a device context; (X, Y, Dst) are logical coordinates of that context.
    void Draw(HDC TargetDC, int X, int Y) const;
    void Draw(HDC TargetDC, int X, int Y, const TRect& Src) const;
    void Draw(HDC TargetDC, const TRect& Dst) const;
    void Draw(HDC TargetDC, const TRect& Dst, const TRect& Src) const;
    // Onto a canvas: exactly the forms above with the canvas's Handle.
    void Draw(TCanvas* Canvas, int X, int Y) const;
    void Draw(TCanvas* Canvas, int X, int Y, const TRect& Src) const;
    void Draw(TCanvas* Canvas, const TRect& Dst) const;
    void Draw(TCanvas* Canvas, const TRect& Dst, const TRect& Src) const;
    // Onto another bitmap, or onto this one (as if Src were copied out first).
    void Draw(TluxBitmap* Target, int X, int Y) const;
    void Draw(TluxBitmap* Target, int X, int Y, const TRect& Src) const;
    void Draw(TluxBitmap* Target, const TRect& Dst) const;
    void Draw(TluxBitmap* Target, const TRect& Dst, const TRect& Src) const;

    // Tiling: Dst is covered with copies of the Src part of this bitmap laid edge
    // to edge from Dst's top-left corner, each drawn as Draw would draw it; cells
    // cut by Dst's right or bottom edge show the top-left part of Src. TileClip
    // draws only the (whole) cells that touch Clip; an empty Clip draws all.
    void Tile(HDC TargetDC, const TRect& Dst, const TRect& Src) const;
    void Tile(TCanvas* Canvas, const TRect& Dst, const TRect& Src) const;
    void Tile(TluxBitmap* Target, const TRect& Dst, const TRect& Src) const;
    void TileClip(HDC TargetDC, const TRect& Dst, const TRect& Src, const TRect& Clip) const;
    void TileClip(TCanvas* Canvas, const TRect& Dst, const TRect& Src, const TRect& Clip) const;
    void TileClip(TluxBitmap* Target, const TRect& Dst, const TRect& Src, const TRect& Clip) const;
    // Puts SrcRect of Source at (X, Y) underneath this bitmap's pixels: alpha 0
    // takes the source pixel, alpha 255 stays, others are blended over it.
    void MergeDraw(const TluxBitmap* Source, int X, int Y, const TRect& SrcRect);
    // Reverses the order of the rows (the picture turns upside down).
    void FlipHorz();

    // Colour adjustments of every pixel whose alpha is not 0; alphas are kept.
    void ChangeBitmapBrightness(int Delta);
    void SetBitmapHue(int Hue);
    void ChangeBitmapSat(int Delta);
    void ChangeBitmapHue(int Delta);

    // The bitmap record: name, width, height, pixels (little-endian). Reading
    // refuses a truncated or absurd record with BitmapStreamError and leaves the
    // bitmap and the stream position as they were.
    void SaveToStream(QIODevice* Stream) const;
    void LoadFromStream(QIODevice* Stream);
    // A BMP picture ResName inside ModuleFile: a directory, a binary Qt resource
    // file (.rcc), or, when empty or not loadable, the program's own resources.
    // A missing resource leaves the bitmap unchanged; a name that leaves the
    // module, or a truncated or inconsistent file, throws BitmapStreamError.
    void LoadFromResource(const QString& ModuleFile, const QString& ResName);
    // An 8-bit PCX picture; a stream that is not PCX leaves the bitmap unchanged,
    // a truncated or inconsistent one throws BitmapStreamError.
    void LoadFromPcxStream(QIODevice* Stream);

    // A new link on this bitmap (named as the bitmap) over R; the caller owns it.
    TluxBitmapLink* GetBitmapLink(const TRect& R);
    TluxBitmapLink* GetBitmapLink(const QByteArray& RectText);

    // Kept only so that code written against these signatures still compiles: they draw nothing
    // (and measure 0), so a call is a mistake; the canvas painting routines draw text, frames,
    // polygons and gradients.
    LUX_DRAWS_NOTHING void DrawBevel(const TRect& R, TluxColor Color, int Width, bool Raised);
    LUX_DRAWS_NOTHING void DrawEdge(const TRect& R, TluxColor TopColor, TluxColor BottomColor);
    LUX_DRAWS_NOTHING void DrawEllipse(const TRect& R, TluxColor Color);
    LUX_DRAWS_NOTHING void DrawFocusRect(const TRect& R, TluxColor Color);
    LUX_DRAWS_NOTHING void DrawLine(const TRect& R, TluxColor Color);
    LUX_DRAWS_NOTHING void DrawRect(const TRect& R, TluxColor Color);
    LUX_DRAWS_NOTHING void FillEllipse(const TRect& R, TluxColor Color);
    LUX_DRAWS_NOTHING void DrawRoundRect(const TRect& R, int Radius, TluxColor Color);
    LUX_DRAWS_NOTHING void FillRoundRect(const TRect& R, int Radius, TluxColor Color);
    LUX_DRAWS_NOTHING void DrawPolygon(const std::vector<TPoint>& Points, TColor Color);
    LUX_DRAWS_NOTHING void FillPolygon(const std::vector<TPoint>& Points, TColor Color);
    LUX_DRAWS_NOTHING void FillHalftonePolygon(const std::vector<TPoint>& Points, TluxColor Color, TluxColor HalfColor);
    LUX_DRAWS_NOTHING void FillHalftoneRect(const TRect& R, TluxColor Color, TluxColor HalfColor);
    LUX_DRAWS_NOTHING void FillGradientRect(const TRect& R, TluxColor BeginColor, TluxColor EndColor, bool Vertical);
    LUX_DRAWS_NOTHING void FillRadialGradientRect(const TRect& R, TluxColor BeginColor, TluxColor EndColor, const TPoint& Center);
    LUX_DRAWS_NOTHING void DrawText(const QString& Text, TRect& R, TluxColor Color);
    LUX_DRAWS_NOTHING void DrawText(const QString& Text, int X, int Y);
    LUX_DRAWS_NOTHING void DrawVerticalText(const QString& Text, const TRect& R, TluxColor Color, bool CW);
    LUX_DRAWS_NOTHING void LineTo(int X, int Y, TluxColor Color);
    LUX_DRAWS_NOTHING void MoveTo(int X, int Y);
    LUX_DRAWS_NOTHING int TextWidth(const QString& Text, int Flags) const;
    LUX_DRAWS_NOTHING int TextHeight(const QString& Text) const;

    // Rect(0, 0, Width, Height).
    TRect BoundsRect() const { return TRect(0, 0, Width, Height); }

private:
    void releaseMemory();
    size_t m_mappedBytes = 0;
};

// The bitmap whose DC is dc, searching the registry from its first entry; null if none.
TluxBitmap* FindBitmapByDC(HDC dc);
// Frees the bitmap registry (subsystem shut-down); the bitmaps themselves stay.
void freeBitmapRegistry();

// When false, Draw never writes straight into the memory of a device
// context's bitmap and always goes through the platform. True at start.
extern bool EnableDibOperation;
