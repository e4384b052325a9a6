#pragma once
// TluxBitmapLink: a named rectangle of a TluxBitmap that can be drawn on its
// own and examined for masked pixels in a nine-part grid (corners, edges,
// centre), as frame and button pictures cut into nine parts need.
//
// A pixel is masked when it is not luxNone and either is exactly the key
// colour 0x007F007F or has an alpha other than 255; a pixel outside the
// bitmap reads as 0 and so is masked. The link never owns its bitmap.

#include "effects/bitmap/luxbitmap.h"

#include <QObject>
#include <QString>

class QIODevice;

class TluxBitmapLink : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name MEMBER Name)
    Q_PROPERTY(int Left READ GetLeft WRITE SetLeft)
    Q_PROPERTY(int Top READ GetTop WRITE SetTop)
    Q_PROPERTY(int Right READ GetRight WRITE SetRight)
    Q_PROPERTY(int Bottom READ GetBottom WRITE SetBottom)

public:
    explicit TluxBitmapLink(QObject* parent = nullptr);
    ~TluxBitmapLink() override;

    TluxBitmap* Bitmap = nullptr;
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    QString Name;
    bool EdgeMasked = false;
    bool CornerMasked = false;
    bool CenterMasked = false;

    // From another link: the bitmap, the rectangle, the name and the three
    // flags. Anything else raises EConvertError and changes nothing.
    void Assign(const QObject* Source);

    // The link record: the name as a 4-byte length and 8-bit characters, then
    // Left, Top, Right and Bottom as signed 32-bit little-endian values. A
    // truncated record raises BitmapStreamError; the link stays as it was.
    void LoadFromStream(QIODevice* Stream);
    void SaveToStream(QIODevice* Stream) const;

    // Sets CenterMasked when any pixel of the link is masked; the two other flags become false.
    void CheckingMasked();
    // Margins.Left, .Top, .Right, .Bottom cut the link into nine regions; each
    // flag tells whether a masked pixel lies in a corner, an edge or the centre.
    void CheckingMasked(const TRect& Margins);

    // Bitmap->Draw(target, X, Y, link rectangle) when the bitmap is set and not
    // empty and the rectangle is not empty; a rectangle reaching outside the
    // bitmap draws nothing.
    void Draw(TCanvas* Canvas, int X, int Y) const;
    void Draw(TluxBitmap* Target, int X, int Y) const;

    int GetLeft() const { return Left; }
    int GetTop() const { return Top; }
    int GetRight() const { return Right; }
    int GetBottom() const { return Bottom; }
    void SetLeft(int Value) { Left = Value; }
    void SetTop(int Value) { Top = Value; }
    void SetRight(int Value) { Right = Value; }
    void SetBottom(int Value) { Bottom = Value; }
    // Bitmap set and (Right - Left) x (Bottom - Top) greater than 0.
    bool GetAssigned() const;

    TRect BoundsRect() const { return TRect(Left, Top, Right, Bottom); }

private:
    bool drawable(int X, int Y) const;
};

// The masked-pixel rule of links.
constexpr bool IsMaskedPixel(TluxColor p)
{
    return p != luxNone && (p == luxTransparent || (p >> 24) != 255);
}
