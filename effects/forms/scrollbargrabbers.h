#pragma once
// Grabbers for scroll areas, memos (QPlainTextEdit, QTextEdit) and list boxes
// (QListView, QListWidget). A scroll area's bars lie outside its client area (the
// viewport), so the tree walk clips them away; these grabbers draw them from the
// bars' reported geometry and state with the style's scroll-bar parts.

#include "effects/forms/grabber.h"

class TluxScrollBoxGrabber : public TluxWControlGrabber {
public:
    void GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R) override;

    // The control's horizontal and vertical scroll bars, where GetWindowLong
    // reports them: track, arrows, thumb and the size-box corner. A bar whose
    // query fails or that reports itself invisible is left out.
    void GrabScrollBarsToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R);

    static const char* GrabberName() { return "TluxScrollBoxGrabber"; }
    // Every scroll area (QScrollArea, item views, text edits not served otherwise).
    static const QMetaObject* GetGrabberClassType();
    static QString GetGrabberClassName() { return QStringLiteral("TScrollBox"); }
};

class TluxMemoGrabber : public TluxScrollBoxGrabber {
public:
    static const char* GrabberName() { return "TluxMemoGrabber"; }
    // Scroll areas of the memo kind (see ServesKind).
    static const QMetaObject* GetGrabberClassType();
    static QString GetGrabberClassName() { return QStringLiteral("TCustomMemo;TMemo"); }
    // QTextEdit and QPlainTextEdit.
    static bool ServesKind(const QWidget* Control);
};

class TluxListBoxGrabber : public TluxScrollBoxGrabber {
public:
    // What the scroll-box grabber draws, then the list's client paint (its items)
    // once more at the list's own position, over the bars' neighbourhood.
    void GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R) override;

    static const char* GrabberName() { return "TluxListBoxGrabber"; }
    static const QMetaObject* GetGrabberClassType();
    static QString GetGrabberClassName() { return QStringLiteral("TCustomListBox;TListBox;TCheckListBox"); }
};

// The flat-scroll-bar property query of the common controls; this platform has
// no flat scroll bars, so the query always fails (returns false, *value 0).
constexpr int WSB_PROP_VSTYLE = 0x100;
constexpr int WSB_PROP_HSTYLE = 0x200;
constexpr int WSB_PROP_VBKGCOLOR = 0x40;
constexpr int WSB_PROP_HBKGCOLOR = 0x80;
constexpr int FSB_FLAT_MODE = 2;
bool FlatSB_GetScrollProp(QWidget* hwnd, int index, int* value);
