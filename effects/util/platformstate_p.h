#pragma once
// State shared by the platform-helper sources; not for other code.

namespace luxplatform {

extern bool isWinNT;
extern bool isWinNT4;
extern bool isWin2k;
extern bool isWinXP;
extern bool isMsImg;

// Binds or unbinds the monitor queries (monitors.cpp) and the scroll-bar query (scrollbarinfo.cpp).
void bindMonitorQueries(bool bind);
void bindScrollBarQuery(bool bind);

} // namespace luxplatform
