#pragma once
// The window-system style bits the grabbers read, derived from what a Qt widget
// shows. A widget has a "client edge" when it draws the style's sunken two-pixel
// panel (QFrame::StyledPanel | QFrame::Sunken), a "border" when it draws a plain
// one-pixel box (QFrame::Box | QFrame::Plain), and scroll bars when its scroll
// area shows them.

#include <cstdint>

class QWidget;

constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;

constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_VSCROLL = 0x00200000;
constexpr uint32_t WS_HSCROLL = 0x00100000;
constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200;

// GWL_STYLE: WS_BORDER, WS_HSCROLL, WS_VSCROLL; GWL_EXSTYLE: WS_EX_CLIENTEDGE.
// 0 for a null widget or another index.
uint32_t GetWindowLong(QWidget* hwnd, int nIndex);
