#pragma once
// Free painting routines of the effects library: wide-string text, text turned a
// quarter turn, fitting a text into a width with "...", outline and filled shapes
// in one call, linear and radial gradients, two-colour halftones, a translucent
// rectangle, frame-control glyphs in any colour, a glyph's translucent shadow and
// small icons centred in a rectangle.
//
// Each routine sets the canvas's pen and brush properties it needs, paints and
// returns; the canvas keeps those settings (callers set their own again before
// painting). Temporaries are released on every path. Rectangles exclude their
// right and bottom edges. Polygons are Points[0..High], High + 1 vertices.

#include "platform/canvas.h"
#include "platform/color.h"
#include "platform/devicecontext.h"
#include "platform/types.h"

#include <QString>

class QIcon;
class QPixmap;
class TluxBitmap;

// ---- Text ------------------------------------------------------------------

// Draws S in R with the canvas's font and text colour, background transparent.
// With DT_CALCRECT in Flags, R receives the measured rectangle and nothing is
// drawn. Returns the height of the text.
int DrawText(TCanvas* Canvas, const QString& S, TRect& R, unsigned int Flags);
// Draws S with its top-left corner at (X, Y) in a rectangle of its own extent.
int DrawText(TCanvas* Canvas, const QString& S, int X, int Y);
// Draws S turned by a quarter turn inside R: Clockwise reads top to bottom with
// the text's top facing right, otherwise bottom to top with the top facing left.
// Flags lay S out in the unturned rectangle (R's height by R's width). Only the
// text's own pixels reach the canvas. Returns the height DrawText reports.
int DrawVerticalText(TCanvas* Canvas, const QString& S, const TRect& R, unsigned int Flags, bool Clockwise);
// Flags = 0: the advance width of S in the canvas's font. Otherwise the right
// edge of the rectangle DrawText calculates for the 8-bit (locale) form of S with
// Flags | DT_CALCRECT, so word-breaking flags measure that form.
int TextWidth(TCanvas* Canvas, const QString& S, int Flags);
// The line height of S in the canvas's font.
int TextHeight(TCanvas* Canvas, const QString& S);
// S when it fits in MaxWidth pixels with DC's font; otherwise the longest prefix
// that fits together with "...", followed by "..." ("..." alone when nothing fits,
// even if "..." is wider than MaxWidth). Characters outside the basic plane are
// never split.
QString FormatStr(HDC DC, const QString& S, int MaxWidth);

// ---- Lines, outlines and fills (all with the canvas's current pen width) ----

void MoveTo(TCanvas* Canvas, int X, int Y);
// Solid pen of colour C; the end point is left out.
void LineTo(TCanvas* Canvas, int X, int Y, TColor C);
// Outline in a solid pen of colour C, brush clear.
void DrawRect(TCanvas* Canvas, const TRect& R, TColor C);
void DrawRect(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TColor C);
// The platform's dotted focus rectangle on R (framecontrols.h); the brush is set
// solid C first, and the platform's dots are C's inverse. Drawing it twice does
// not remove it.
void DrawFocusRect(TCanvas* Canvas, const TRect& R, TColor C);
// Solid brush of colour C; the pen is left alone.
void FillRect(TCanvas* Canvas, const TRect& R, TColor C);
void FillRect(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TColor C);
// As above through a temporary canvas on DC; DC's drawing state is restored.
void FillRect(HDC DC, int X1, int Y1, int X2, int Y2, TColor C);
// Ellipse inside R with a solid brush C and no outline.
void FillEllipse(TCanvas* Canvas, const TRect& R, TColor C);
void FillEllipse(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TColor C);
// Rounded rectangle with corner ellipses of Radius x Radius: outline only (solid
// pen C, brush clear), or filled (pen colour C in its current style, solid brush C).
void DrawRoundRect(TCanvas* Canvas, const TRect& R, int Radius, TColor C);
void FillRoundRect(TCanvas* Canvas, const TRect& R, int Radius, TColor C);
// Closed polygon: outline only (solid pen C, brush clear) or filled (pen and brush C).
void DrawPolygon(TCanvas* Canvas, const TPoint* Points, const int High, TColor C);
void FillPolygon(TCanvas* Canvas, const TPoint* Points, const int High, TColor C);
// A one-pen frame: the left column and the top row (without their far ends) in
// TopLeft; the right column and the whole bottom row in BottomRight, which so
// owns the top-right and bottom-left corners. Brush clear, pen solid.
void DrawEdge(TCanvas* Canvas, const TRect& R, TColor TopLeft, TColor BottomRight);
void DrawEdge(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TColor TopLeft, TColor BottomRight);

// ---- Gradients, halftones, transparency, glyphs and icons -------------------

// Up to 256 solid bands from BeginColor (left or top) toward EndColor; the last
// visible band is one step short of EndColor. Empty rectangles paint nothing.
void FillGradientRect(TCanvas* Canvas, const TRect& R, TColor BeginColor, TColor EndColor, bool Vertical);
// 51 concentric discs, clipped to R, from EndColor outside to BeginColor in the
// middle. Center holds percentages of R's size ((50, 50) is R's middle). The
// colours are plain 0x00BBGGRR values. The canvas's clip is as before afterwards.
void FillRadialGradientRect(TCanvas* Canvas, const TRect& R, TColor BeginColor, TColor EndColor, const TPoint& Center);
// A one-pixel checkerboard of Color2 (where x + y is even at the brush origin) and
// Color1. Left and Top below 0 are raised to 0. The canvas keeps the pattern brush.
void FillHalftoneRect(TCanvas* Canvas, const TRect& R, TColor Color1, TColor Color2);
// The same checkerboard inside the polygon, without an outline (pen clear).
void FillHalftonePolygon(TCanvas* Canvas, const TPoint* Points, const int High, TColor Color1, TColor Color2);
// Color over the canvas with weight (Alpha & 0xFF) / 255.
void FillAlphaRect(TCanvas* Canvas, const TRect& R, TColor Color, int Alpha);
// The strokes of a frame-control glyph (DrawFrameControl's Type and State) in
// Color; everything else in R is left as it was.
void DrawFrameControlGlyph(TCanvas* Canvas, const TRect& R, unsigned int Type, unsigned int State, TColor Color);
// Glyph's silhouette at (X, Y) in Color at alpha 100 of 255: every pixel of Glyph
// that is neither transparent (alpha 0) nor near the key colour.
void DrawGlyphShadow(TCanvas* Canvas, int X, int Y, TluxBitmap* Glyph, TColor Color);
// Icon at its own size, its top-left corner where a small-icon square centred in
// R has its top-left corner. A null icon draws nothing. A QIcon's own size is the
// first size it holds (the small-icon size for icons without fixed sizes).
void DrawIcon(TCanvas* Canvas, const TRect& R, const QIcon* Icon);
void DrawIcon(HDC DC, const TRect& R, const QIcon* Icon);
void DrawIcon(TCanvas* Canvas, const TRect& R, const QPixmap* Icon);
void DrawIcon(HDC DC, const TRect& R, const QPixmap* Icon);
