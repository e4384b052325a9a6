#include "effects/bitmap/bitmaplist.h"

#include "effects/bitmap/bitmaplink.h"

TluxBitmapList::~TluxBitmapList()
{
    Clear();
}

void TluxBitmapList::Clear()
{
    for (TluxBitmap* bitmap : std::as_const(*this))
        delete bitmap;
    clear();
}

TluxBitmap* TluxBitmapList::GetImage(int Index) const
{
    if (Index < 0 || Index >= size())
        return nullptr;
    return at(Index);
}

namespace {

// S with A to Z turned into a to z and nothing else changed.
QString LowerCase(const QString& S)
{
    QString result = S;
    for (QChar& c : result)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return result;
}

} // namespace

TluxBitmap* TluxBitmapList::GetBitmapByName(const QString& Name) const
{
    const QString wanted = LowerCase(Name);
    for (TluxBitmap* bitmap : *this)
        if (bitmap && LowerCase(bitmap->Name) == wanted)
            return bitmap;
    return nullptr;
}

TluxBitmapLink* TluxBitmapList::GetBitmapLink(TluxBitmap* B, const TRect& R) const
{
    if (!B || !contains(B))
        return nullptr;
    return B->GetBitmapLink(R);
}

TluxBitmapLink* TluxBitmapList::GetBitmapLink(const QString& Name, const TRect& R) const
{
    TluxBitmap* bitmap = GetBitmapByName(Name);
    return bitmap ? bitmap->GetBitmapLink(R) : nullptr;
}

TluxBitmapLink* TluxBitmapList::GetBitmapLink(const QString& Name, const QByteArray& RectText) const
{
    TluxBitmap* bitmap = GetBitmapByName(Name);
    return bitmap ? bitmap->GetBitmapLink(RectText) : nullptr;
}
