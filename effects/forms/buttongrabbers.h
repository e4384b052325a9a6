#pragma once
// Grabbers for push buttons, push buttons with an icon (bitmap buttons) and check boxes.
//
// A Qt button's own paint already holds its face, caption and focus frame. The
// push-button and check-box grabbers draw those parts again over it, each with
// the style's geometry for the button's current state, so the grab shows them
// exactly as the screen does: the face is redrawn opaque before the caption and
// the check box's caption area is put back to its background first, so no text
// is blended twice.

#include "effects/forms/grabber.h"

class TluxButtonGrabber : public TluxWControlGrabber {
public:
    void GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R) override;

    static const char* GrabberName() { return "TluxButtonGrabber"; }
    static const QMetaObject* GetGrabberClassType();
    static QString GetGrabberClassName() { return QStringLiteral("TButton"); }
};

// A push button with an icon: the button paints itself into a bitmap of its own
// (as for an owner-draw request), which is then drawn at the button's place.
class TluxBitBtnGrabber : public TluxWControlGrabber {
public:
    void GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R) override;

    static const char* GrabberName() { return "TluxBitBtnGrabber"; }
    static const QMetaObject* GetGrabberClassType();
    static QString GetGrabberClassName() { return QStringLiteral("TBitBtn"); }
    // A QPushButton with an icon.
    static bool ServesKind(const QWidget* Control);
};

class TluxCheckBoxGrabber : public TluxWControlGrabber {
public:
    void GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R) override;

    static const char* GrabberName() { return "TluxCheckBoxGrabber"; }
    static const QMetaObject* GetGrabberClassType();
    static QString GetGrabberClassName() { return QStringLiteral("TCheckBox;TCustomCheckBox;"); }
};
