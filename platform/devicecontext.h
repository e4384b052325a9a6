#pragma once
// A device context: the drawing state (origin, clip, font, colours, pen, brush)
// over a target QImage. Memory contexts draw into an image the caller owns;
// window contexts draw into a widget's backing image and repaint the widget.
//
// Coordinates given to drawing calls are logical: device = logical - origin.
// Clip regions are kept in device coordinates, as the window system keeps them.

#include "platform/color.h"
#include "platform/types.h"

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QPainter;
class QWidget;

// Background modes for text.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// DrawText format flags.
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
constexpr unsigned DT_RTLREADING = 0x20000;

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
enum class BrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross, Pattern };

struct LogPen {
    TColor Color = clBlack;
    int Width = 1;
    PenStyle Style = PenStyle::Solid;
};

struct LogBrush {
    TColor Color = clWhite;
    BrushStyle Style = BrushStyle::Solid;
    QImage Pattern; // used when Style is Pattern; tiled from the brush origin
};

class DeviceContext {
public:
    explicit DeviceContext(QImage* target = nullptr);
    virtual ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // The image drawn into; null when nothing is selected.
    QImage* image() const { return m_image; }
    // Selects another target image (the window system's SelectObject of a bitmap); returns the old one.
    QImage* selectImage(QImage* image);
    // The widget a window context belongs to, or null for a memory context.
    QWidget* window() const { return m_window; }

    TPoint windowOrigin() const { return m_origin; }
    TPoint setWindowOrigin(TPoint origin);
    TPoint offsetWindowOrigin(int dx, int dy);

    // Clip region in device coordinates; no value means "no clip region".
    const std::optional<QRegion>& clipRegion() const { return m_clip; }
    void selectClipRegion(const std::optional<QRegion>& deviceRegion);
    void intersectClipRect(const TRect& logical);
    void excludeClipRect(const TRect& logical);
    // The logical bounding box of what can be drawn (clip and image bounds).
    TRect clipBox() const;

    // Saves the whole drawing state; returns its level (1 for the first save).
    int save();
    // Restores level `level` (negative: relative to the current level, -1 = the last save).
    bool restore(int level);

    const QFont& font() const { return m_state.font; }
    QFont setFont(const QFont& font);
    TColor textColor() const { return m_state.textColor; }
    TColor setTextColor(TColor c);
    TColor bkColor() const { return m_state.bkColor; }
    TColor setBkColor(TColor c);
    int bkMode() const { return m_state.bkMode; }
    int setBkMode(int mode);
    const LogPen& pen() const { return m_state.pen; }
    LogPen setPen(const LogPen& pen);
    const LogBrush& brush() const { return m_state.brush; }
    LogBrush setBrush(const LogBrush& brush);
    TPoint brushOrigin() const { return m_state.brushOrigin; }
    TPoint setBrushOrigin(TPoint p);
    TPoint penPosition() const { return m_state.penPos; }

    // Runs `fn` with a painter set up for this context: clip applied, logical
    // coordinates, no antialiasing. Window contexts repaint their widget afterwards.
    void paint(const std::function<void(QPainter&)>& fn);

    // Drawing with the selected objects. Rectangles exclude their right and bottom edges.
    void fillRect(const TRect& r, const LogBrush& brush);
    void fillSolidRect(const TRect& r, TColor color);
    void rectangle(const TRect& r);
    void ellipse(const TRect& r);
    void roundRect(const TRect& r, int cornerWidth, int cornerHeight);
    void polygon(const std::vector<TPoint>& points);
    void polyline(const std::vector<TPoint>& points);
    void moveTo(int x, int y);
    // Draws from the pen position to (x, y), leaving out the end point.
    void lineTo(int x, int y);
    void setPixel(int x, int y, TColor c);
    // 0x00BBGGRR of the pixel, or 0xFFFFFFFF (CLR_INVALID) outside the image or the clip.
    uint32_t getPixel(int x, int y) const;

    void textOut(int x, int y, const QString& text);
    TSize textExtent(const QString& text) const;
    // Draws or measures text in `r`; with DT_CALCRECT only updates r's right and bottom.
    // Returns the text height.
    int drawText(const QString& text, TRect& r, unsigned format);

    // Marks a window context's widget for repainting (drawing calls do this themselves).
    void flush();

protected:
    QBrush qbrush(const LogBrush& b) const;
    QPen qpen() const;
    void markDirty();

    struct State {
        TPoint origin;
        std::optional<QRegion> clip;
        QFont font;
        TColor textColor = clBlack;
        TColor bkColor = clWhite;
        int bkMode = OPAQUE;
        LogPen pen;
        LogBrush brush;
        TPoint brushOrigin;
        TPoint penPos;
    };

    QImage* m_image = nullptr;
    QWidget* m_window = nullptr;
    TPoint m_origin;
    std::optional<QRegion> m_clip;
    State m_state;
    std::vector<State> m_saved;

};

using HDC = DeviceContext*;

// Raster operations for block copies.
constexpr uint32_t SRCCOPY = 0x00CC0020;

// Copies w x h pixels from src (sx, sy) to dst (x, y), both logical. Pixels are
// copied as they are (alpha included), clipped by dst's clip and both images.
bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop = SRCCOPY);
// Nearest-neighbour stretched copy (no smoothing): dst (x, y, w, h) from src (sx, sy, sw, sh).
bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop = SRCCOPY);

// Window contexts: a context over `widget`'s backing image. The widget paints that
// image instead of its own contents from then on, until DetachWindowSurface or its
// destruction. The backing image starts as the widget's own rendering.
HDC GetDC(QWidget* widget);
void ReleaseDC(QWidget* widget, HDC dc);
void DetachWindowSurface(QWidget* widget);
// The backing image of a widget with an attached surface, or null.
QImage* WindowSurfaceImage(QWidget* widget);
