/* Resource numbers of Tarnvale.exe, shared by res/tarnvale.rc and the
   Windows build's code. Plain #defines, so that the resource compiler
   reads them too. */
#pragma once

#define TV_RES_TUNE 101       /* type "CUSTOM": the About window's MIDI tune */
#define TV_RES_LOGO 110       /* bitmap: the About window's 64x64 logo */
#define TV_RES_MENU_INSTALL 111 /* bitmaps: the 16x16 system-menu pictures */
#define TV_RES_MENU_ABOUT 112
#define TV_RES_MENU_BOOT_TEST 113
#define TV_RES_MENU_OPTIONS 114
