#pragma once
// Frame controls, edges, captions and focus rectangles, drawn into a device
// context with QPainter and the application's QStyle, so that what is drawn
// here matches what Qt widgets paint on screen with the same style.
//
// Rectangles are logical coordinates of the context, right and bottom exclusive.

#include "platform/devicecontext.h"
#include "platform/framecontrolstates.h"

#include <cstdint>

class QWidget;

// DrawEdge edge kinds.
constexpr unsigned BDR_RAISEDOUTER = 0x0001;
constexpr unsigned BDR_SUNKENOUTER = 0x0002;
constexpr unsigned BDR_RAISEDINNER = 0x0004;
constexpr unsigned BDR_SUNKENINNER = 0x0008;
constexpr unsigned BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
constexpr unsigned BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
constexpr unsigned BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

// DrawEdge flags.
constexpr unsigned BF_LEFT = 0x0001;
constexpr unsigned BF_TOP = 0x0002;
constexpr unsigned BF_RIGHT = 0x0004;
constexpr unsigned BF_BOTTOM = 0x0008;
constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr unsigned BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr unsigned BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_DIAGONAL = 0x0010;
constexpr unsigned BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT;
constexpr unsigned BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT;
constexpr unsigned BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT;
constexpr unsigned BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_MIDDLE = 0x0800;
constexpr unsigned BF_SOFT = 0x1000;
constexpr unsigned BF_ADJUST = 0x2000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned BF_MONO = 0x8000;

// DrawCaption flags.
constexpr unsigned DC_ACTIVE = 0x0001;
constexpr unsigned DC_SMALLCAP = 0x0002;
constexpr unsigned DC_ICON = 0x0004;
constexpr unsigned DC_TEXT = 0x0008;
constexpr unsigned DC_INBUTTON = 0x0010;
constexpr unsigned DC_GRADIENT = 0x0020;
constexpr unsigned DC_BUTTONS = 0x1000;

// Draws a frame control of type uType (DFC_*) in state uState (DFCS_*) into *lprc.
// Buttons, check boxes, radio buttons and scroll arrows use the style's primitives
// for QPushButton, QCheckBox, QRadioButton and QScrollBar. DFCS_INACTIVE draws with
// the palette's disabled colours, as Qt paints a disabled widget. With
// DFCS_ADJUSTRECT (push buttons) *lprc is shrunk to the face's interior.
// Caption buttons are a push-button face with the window system's glyph (close
// cross, minimize bar, maximize and restore windows, question mark) in solid,
// unsmoothed strokes of the button-text colour; with DFCS_INACTIVE the glyph is
// embossed in the shadow colour over the highlight colour instead. Menu glyphs
// (DFC_MENU, DFC_POPUPMENU: arrow, check mark, bullet) are a mask: black strokes
// on white over the whole rectangle, whatever the state. Code that recolours a
// glyph keeps its black pixels and relies on both. Returns false for a null
// context or rectangle or an unknown type.
bool DrawFrameControl(HDC hdc, TRect* lprc, unsigned uType, unsigned uState);

// Draws the edges `edge` (BDR_*) on the sides named by grfFlags (BF_*). With
// BF_ADJUST *qrc is shrunk by the width drawn on each side; BF_MIDDLE fills the
// interior with the face colour; BF_MONO draws the outer edge in the window-text
// colour, BF_FLAT in the shadow colour. The colours are the ones the style's
// panels use, so EDGE_SUNKEN equals a sunken QFrame::StyledPanel. Returns false
// for a null context or rectangle.
bool DrawEdge(HDC hdc, TRect* qrc, unsigned edge, unsigned grfFlags);

// Draws a window caption for hwnd into *lprect: the caption background (DC_ACTIVE
// picks the active colours, DC_GRADIENT a left-to-right gradient), with DC_ICON the
// window icon at the left and with DC_TEXT the window title in the caption font
// (the small caption with DC_SMALLCAP). Returns false for a null context or rectangle.
bool DrawCaption(QWidget* hwnd, HDC hdc, const TRect* lprect, unsigned flags);

// Draws the style's dotted focus frame inside *lprc. The dots take the inverse of
// the context's solid brush colour (the face colour when the brush is not solid),
// which is what an inverting frame gives on a face of that colour and what the
// style paints on screen, whatever lies under the dots. Drawing it twice leaves
// the same picture, it does not restore the pixels: grabbers paint the focus frame
// over a rendering of the control that already shows it. Returns false for a null
// context or rectangle.
bool DrawFocusRect(HDC hdc, const TRect* lprc);
