#pragma once
// The types and states of DrawFrameControl (framecontrols.h), which the glyphs share.

// DrawFrameControl types.
constexpr unsigned DFC_CAPTION = 1;
constexpr unsigned DFC_MENU = 2;
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFC_POPUPMENU = 5;

// States for DFC_CAPTION.
constexpr unsigned DFCS_CAPTIONCLOSE = 0x0000;
constexpr unsigned DFCS_CAPTIONMIN = 0x0001;
constexpr unsigned DFCS_CAPTIONMAX = 0x0002;
constexpr unsigned DFCS_CAPTIONRESTORE = 0x0003;
constexpr unsigned DFCS_CAPTIONHELP = 0x0004;

// States for DFC_MENU and DFC_POPUPMENU.
constexpr unsigned DFCS_MENUARROW = 0x0000;
constexpr unsigned DFCS_MENUCHECK = 0x0001;
constexpr unsigned DFCS_MENUBULLET = 0x0002;
constexpr unsigned DFCS_MENUARROWRIGHT = 0x0004;

// States for DFC_SCROLL.
constexpr unsigned DFCS_SCROLLUP = 0x0000;
constexpr unsigned DFCS_SCROLLDOWN = 0x0001;
constexpr unsigned DFCS_SCROLLLEFT = 0x0002;
constexpr unsigned DFCS_SCROLLRIGHT = 0x0003;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x0005;
// This platform's own: the thumb of a scroll bar. Qt's styles give the thumb the
// scroll-bar button colours, which differ from a push button's face.
constexpr unsigned DFCS_SCROLLTHUMB = 0x0006;
constexpr unsigned DFCS_SCROLLSIZEGRIP = 0x0008;
constexpr unsigned DFCS_SCROLLSIZEGRIPRIGHT = 0x0010;

// States for DFC_BUTTON.
constexpr unsigned DFCS_BUTTONCHECK = 0x0000;
constexpr unsigned DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr unsigned DFCS_BUTTONRADIOMASK = 0x0002;
constexpr unsigned DFCS_BUTTONRADIO = 0x0004;
constexpr unsigned DFCS_BUTTON3STATE = 0x0008;
constexpr unsigned DFCS_BUTTONPUSH = 0x0010;

// Modifiers for every type.
constexpr unsigned DFCS_INACTIVE = 0x0100;
constexpr unsigned DFCS_PUSHED = 0x0200;
constexpr unsigned DFCS_CHECKED = 0x0400;
constexpr unsigned DFCS_TRANSPARENT = 0x0800;
constexpr unsigned DFCS_HOT = 0x1000;
constexpr unsigned DFCS_ADJUSTRECT = 0x2000;
constexpr unsigned DFCS_FLAT = 0x4000;
constexpr unsigned DFCS_MONO = 0x8000;
