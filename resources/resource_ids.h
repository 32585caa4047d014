// Resource ids shared by the .rc files and the code.
#pragma once

#define IDA_LORVAN 3            // accelerators of the menu's shortcut texts
#define IDS_GO 302
#define IDS_VIEW 303
#define IDS_MAREL 304

#define IDI_LORVAN 101
#define IDM_LORVAN 102          // menu with the "&Go", "&Marel" and "&View" popups
#define IDR_LORVAN_MENUBAR 102  // raw-data menu-bar resource
#define IDB_TOOLS 114
#define IDB_GRID_COLLAPSED 201
#define IDB_GRID_EXPANDED 202
#define IDB_GRID_PAGE 203

// The same images drawn at 1.5x and 2x: the 1x id plus 1000 and 2000
// (kArtIdStep, platform/dpi.h).
#define IDB_TOOLS_150 1114
#define IDB_TOOLS_200 2114
#define IDB_GRID_COLLAPSED_150 1201
#define IDB_GRID_COLLAPSED_200 2201
#define IDB_GRID_EXPANDED_150 1202
#define IDB_GRID_EXPANDED_200 2202
#define IDB_GRID_PAGE_150 1203
#define IDB_GRID_PAGE_200 2203
#define IDB_ABOUT_150 1113
#define IDB_ABOUT_200 2113

// The About box (dialog 103 with bitmap 113) and the Choose Font dialog (105).
#define IDD_ABOUT 103
#define IDD_CHOOSE_FONT 105
#define IDB_ABOUT 113
#define IDC_ABOUT_LINK 1025
#define IDC_ABOUT_BOOK 1026  // the book and its sources, added when the book names them
#define IDC_FONT_FACES 1001
#define IDC_FONT_PREVIEW 1002
#define IDC_FONT_BASE_ASCII 1003  // no such control in dialog 105: base 97 comes only from the settings
#define IDC_FONT_BASE_CODE_PAGE 1004
#define IDC_FONT_BASE_UNICODE 1005
#define IDC_FONT_SIZES 1006
