#pragma once
// TluxBitmapList: an ordered list of bitmaps it owns, found by index or name.

#include "effects/bitmap/luxbitmap.h"

#include <QByteArray>
#include <QList>
#include <QString>

class TluxBitmapLink;

class TluxBitmapList : public QList<TluxBitmap*> {
public:
    TluxBitmapList() = default;
    // Frees every bitmap (Clear).
    ~TluxBitmapList();
    TluxBitmapList(const TluxBitmapList&) = delete;
    TluxBitmapList& operator=(const TluxBitmapList&) = delete;

    // Frees every bitmap in index order and empties the list.
    void Clear();
    // The bitmap at Index; null outside 0 <= Index < count.
    TluxBitmap* GetImage(int Index) const;
    // The first bitmap whose Name equals Name when the letters A to Z of both
    // are taken as lower case; every other character compares exactly.
    TluxBitmap* GetBitmapByName(const QString& Name) const;

    // A new link (owned by the caller) on the entry that is B itself, or on the
    // first entry named Name; null when there is none.
    TluxBitmapLink* GetBitmapLink(TluxBitmap* B, const TRect& R) const;
    TluxBitmapLink* GetBitmapLink(const QString& Name, const TRect& R) const;
    TluxBitmapLink* GetBitmapLink(const QString& Name, const QByteArray& RectText) const;
};
