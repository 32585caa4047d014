// Resource ids shared by the .rc files and the code.
#pragma once

#define IDS_GO 302
#define IDS_MAREL 304

#define IDI_LORVAN 101
#define IDM_LORVAN 102          // menu with the "&Go" and "&Marel" popups
#define IDR_LORVAN_MENUBAR 102  // raw-data menu-bar resource
#define IDB_TOOLS 114
#define IDB_GRID_COLLAPSED 201
#define IDB_GRID_EXPANDED 202
#define IDB_GRID_PAGE 203
