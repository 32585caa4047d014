// The program-wide state records: AppState with the font choice and the flags
// word, the shell options beside it, and the split-view state of the panes.
// Everything here is read and written on the message-loop thread only.
#pragma once

#include <windows.h>
#include <stdint.h>

struct TextPane;

const int kFaceNameChars = 32;
const int kSearchStringBytes = 34;  // 33 letter codes and a terminator

struct FontSpec {
    wchar_t faceName[kFaceNameChars];  // empty until a font is chosen
    int32_t size;                      // logical font height in pixels at 96 DPI; 0 lets the platform choose
    int32_t letterBase;                // "FontAsciiBase": 97, 224 or 0x5D0
    int32_t dpi;                       // the resolution the size is drawn at; 0 counts as 96. Not stored
    bool letterHeight;                 // the size is the letters' height, as points on paper are; else the
                                       // cell's, as on the screen. Not stored
};

// The reading size at the first start, before one is stored: body text about
// 20 pixels high at 96 DPI.
const int32_t kFirstStartFontSize = 20;

struct AppState {
    HINSTANCE instance;
    FontSpec font;
    int32_t chosenFontSize;  // the size of Choose Font (or the start's), where Actual Size returns
    uint16_t lastPosition;  // first row to restore in the main pane at start
    uint32_t flags;         // the flags word, bits below
    uint16_t lesson;        // current section; 0 means none yet
    uint8_t searchString[kSearchStringBytes];
    TextPane* mainPane;
    int menuBarOnBottom;
    int menuBarHeight;
    int gutter;
    HWND menuBar;          // the bar with the tool buttons
    HMENU windowMenu;      // the desktop's menu bar, kept while full screen takes it off
    HWND mainWindow;
    HBITMAP gridBitmaps[3];  // bitmaps 201, 202, 203
    uint16_t bookmarkCount;
    uint16_t* bookmarks;
    uint16_t bookmarkFlags;
    uint32_t searchOptions;  // "SearchOptions": the matcher's option bits; others carried unchanged
};

// Shell options and handles kept beside AppState.
struct ShellOptions {
    int fullScreen;
    int ignoreActivate;
    int allowSipInHebrewSearch;  // starts at 1
    HWND taskBarWindow;
    HFONT aboutLinkFont;
};

struct SplitView {
    HWND bottomScrollBar;  // window text "Top"
    HWND mainScrollBar;    // window text "Bottom"
    HWND activeScrollBar;
    TextPane* bottomPane;  // the commentary pane, section lesson + 1
    TextPane* activePane;  // null means the main pane
    RECT bottomRect;
    int bottomSection;     // lower-pane size code, starts at 12
    uint16_t bottomSectionLastPosition;
    int lastClientWidth;
    int lastClientHeight;
    // The lower pane's share of the height in hundredths of a percent, set by
    // dragging the divider ("BottomSectionPercent"); 0 follows bottomSection.
    int bottomShare;
    // The width the outline panel takes at the right edge of the client area; 0 while it is hidden.
    int outlinePanelPx;
};

// The desktop's view options.
struct ViewOptions {
    int theme;          // "Theme": kThemeLight, kThemeSepia or kThemeDark (panes/theme.h)
    int readingColumn;  // "ReadingColumn": wide panes set their lines at a reading measure
    int outlinePanel;         // "OutlinePanel": the outline shows beside the text
    int outlinePanelPercent;  // "OutlinePanelPercent": its share of the window's width
};

extern AppState gApp;
extern ShellOptions gShell;
extern SplitView gSplit;
extern ViewOptions gView;

// The resolution the reader's window is drawn at, which ApplyWindowDpi keeps:
// the one source for every size of its split view and status line (each
// pane scales its own text by its font's copy of it).
inline int ReaderDpi() { return gApp.font.dpi; }

// The flags word. Bits not named here are carried and saved unchanged.
const uint32_t kFlagsDefault = 0xD1140040u;
const uint32_t kFlagScrollBarUpdates = 0xC0;      // either bit: scroll bars follow the panes
const uint32_t kFlagReverse = 0x800;              // mirror text drawn with a letter base other than 97
const uint32_t kFlagKeyPageStepMask = 0x700000;   // page step of the keys
const int kFlagKeyPageStepShift = 20;
const uint32_t kFlagTapPageStepMask = 0x7000000;  // page step of taps
const int kFlagTapPageStepShift = 24;
const uint32_t kFlagTapVertical = 0x10000000;     // taps page by the vertical middle
const uint32_t kFlagTapPaging = 0x80000000u;      // a tap inside a pane turns a page

const int kLetterBaseAscii = 97;
const int kLetterBaseCodePage = 224;
const int kLetterBaseUnicode = 0x5D0;
// One of the three bases as it is; the Unicode base in place of anything else.
int32_t UsableLetterBase(int32_t base);

// Font sizes every window draws with: one positive size for the dialog, the
// zoom, the panes and the outline. A stored negative size (a letter height)
// is read as its magnitude, 0 as the first start's size, and either is kept
// between these.
const int32_t kMinFontSizePx = 4;
const int32_t kMaxFontSizePx = 144;
int32_t UsableFontSize(int32_t size);

// The open book's last section is kLastBookSection (content/book_numbers.h).
const int kFirstSection = 1;

// The menu-bar buttons of the popups, and the popup of each: in the window's
// menu bar on the desktop, else in gApp.menuBar (null without either). The
// check marks of the items are set through it, from app/, panes/ and
// navigation/ alike.
const UINT kGoButtonCommand = 40001;
const UINT kMarelButtonCommand = 40003;
const UINT kViewButtonCommand = 40002;
HMENU MenuOfBarButton(UINT buttonCommand);

// Makes section `n` current; 0 keeps the current one, or takes section 1 when
// none is current. A change clears lastPosition.
void SetLesson(uint16_t n);

