#pragma once
// The form grabber: a top-level widget's frame and caption, then its client area.
//
// A form that draws its own frame answers GrabNonClientEvent. Otherwise the frame
// is drawn here, in the classic look or, when themes are in use, from the theme's
// "Window" class. Frame sizes come from the window's geometry: the border width
// is the client area's left offset, the top the client area's top offset, so a
// window without a window-manager frame gets no frame at all.

#include "effects/forms/grabber.h"

#include <cstdint>

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : uint32_t { biSystemMenu = 0x1, biMinimize = 0x2, biMaximize = 0x4, biHelp = 0x8 };
using TBorderIcons = uint32_t;
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// What the frame drawings need to know of a form.
struct TluxFormFrame {
    QWidget* Window = nullptr; // caption text and icon; may be null
    int Width = 0;             // W: outer width, frame included
    int Height = 0;            // H: outer height
    int Border = 0;            // b: left (and right and bottom) border width
    int Top = 0;               // t: outer top to client top (border and caption)
    TFormBorderStyle BorderStyle = bsNone;
    TBorderIcons BorderIcons = 0;
    TWindowState WindowState = wsNormal;
};

// A top-level widget's frame: its geometry, and the border style and icons its
// window flags ask for (frameless, bypassing the window manager, pop-ups and
// splash screens have none; tool windows and dialogs theirs; a fixed-size window
// is bsSingle, a resizable one bsSizeable).
TluxFormFrame FormFrameOf(QWidget* Form);

class TluxFormGrabber : public TluxWControlGrabber {
public:
    void GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R) override;

    // The form's whole picture with its outer corner at (X, Y): the frame (the
    // form's own, or drawn here), then the client area.
    void GrabFormToWinBitmap(TBitmap* Bitmap, QWidget* Form, int X, int Y, const TRect& R);
    // Classic and themed frame and caption of Form into DC, outer corner at (X, Y).
    void GrabFormToDC(HDC DC, int X, int Y, QWidget* Form, const TRect& R);
    void GrabThemedFormToDC(HDC DC, int X, int Y, QWidget* Form, const TRect& R);

    // The drawings themselves, from a frame description.
    static void DrawClassicFrame(HDC DC, int X, int Y, const TluxFormFrame& Frame);
    // Falls back to the classic drawing when the theme's "Window" class cannot be opened.
    static void DrawThemedFrame(HDC DC, int X, int Y, const TluxFormFrame& Frame);

    static const char* GrabberName() { return "TluxFormGrabber"; }
    static const QMetaObject* GetGrabberClassType();
    static QString GetGrabberClassName() { return QStringLiteral("TForm;TCustomForm"); }
    // Every top-level widget is a form.
    static bool ServesKind(const QWidget* Control);
};
