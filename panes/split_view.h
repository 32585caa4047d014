// The split view: the main pane above, the commentary pane below it taking a
// chosen fraction of the height, each with its scroll bar at the right.
#pragma once

#include <windows.h>
#include <stdint.h>

struct TextPane;

// Repaint flags.
const int kRepaintMain = 0x001;
const int kRepaintBottom = 0x002;
const int kRepaintEraseMain = 0x100;
const int kRepaintAll = 511;
// The size parameter that asks OnSize for a new layout with the last size.
const LPARAM kRelayoutMarker = (LPARAM)0xBAADF00Du;

const COLORREF kBottomBackground = 0xFFFFEE;
const COLORREF kSeparatorColour = 0x0000FF;

// Takes the window's dc for both panes (released by ReleaseSharedDc when the
// window is destroyed), makes the panes and scroll bars and loads the section.
int CreatePanes(HWND window);
// Releases both panes; only when the main window is destroyed, so that a pane
// pointer stays good for as long as the window stands.
void DestroyPanes();
void ReleaseSharedDc(HWND window);
void CreateBottomPane(HWND window, HDC dc, const RECT* rect);
int LoadBottomSection(HWND window);
int BottomPaneHeight(int availableHeight);
// With the size code "none" the lower pane is parked below the main pane,
// under the menu bar: it is not on screen, and no target for the pointer.
bool BottomPaneShown();
// In: the available width and height; out: the main pane's width and height.
void LayoutSplit(int* width, int* height);
void OnSize(HWND window, LPARAM size);
void PaintView(HDC dc, HWND window, int flags);
// Takes out of `dc`'s clip what a whole PaintView fills itself (the main
// pane and the commentary's ground), so that an erase before it leaves them.
void ExcludeViewGrounds(HDC dc);
void RepaintView(HWND window, int flags);
// Installs the program-wide font in both panes, each keeping the text of its
// top line at the top, and repaints the view.
void SetViewFont(HWND window);
// Places the panes' left and top edges again, after the menu bar's height or
// the gutter's pixels changed (a new resolution); OnSize does the rest.
void PlacePanes(HWND window);
// The stored first rows ("LastPosition", "BottomSectionLastPosition") put
// back: rows mean something only in the layout they were saved from, which
// is the one the window has once it is shown at its stored place.
void RestoreSavedRows();
void PaintBottomArea(HDC dc);
// Makes the main pane and its scroll bar the active ones.
void ActivateMainPane();
// Makes `pane` (null: the main pane) and its scroll bar the active ones, and
// moves the accent to it.
void SetActivePane(TextPane* pane);
// The panes take the reading column of gView and are laid out again; the
// whole window is repainted.
void ApplyViewOptions(HWND window);
// The pane under a point of the client area: the main pane, else the lower
// pane while it shows; null over neither.
TextPane* PaneAtPoint(int x, int y);
// The colour a pane's text stands on in the theme in use.
COLORREF PaneGround(const TextPane* pane);
// Repaints one pane, as scrolling it does, and its scroll bar.
void RepaintPane(HWND window, const TextPane* pane);
void UpdateScrollBar(HWND scrollBar);
void UpdateScrollBars();
void OnScroll(HWND window, WPARAM wParam, LPARAM lParam);
void OnTap(HWND window, LPARAM lParam);
// WM_MOUSEWHEEL: scrolls the pane under the pointer (the active pane when the
// pointer is over neither) by the wheel setting's rows and makes it active.
void OnMouseWheel(HWND window, WPARAM wParam, LPARAM lParam);
int TapPage(HWND window, TextPane* pane, int x, int y, int paintNow);
bool HitPane(const TextPane* pane, int x, int y);
// The scroll delta of a scroll-bar code (low word of wParam).
int ScrollDelta(WPARAM wParam, int rowsDrawn, int firstRow);

// The lower pane's size codes: 1 (none), 12, 13, 14, 23 and 34; the tens digit
// over the units digit is its share of the height. Menu command = 400 + code.
const int kBottomSectionDefault = 12;
const int kBottomSectionNone = 1;
const int kFirstShownBottomCode = 10;  // size codes below this (None) hide the commentary
// Whether the commentary pane is hidden: it takes no room, and the searches
// and Find All pass over the commentary sections.
bool CommentaryHidden();
const UINT kBottomSectionCommandBase = 400;
bool IsBottomSectionCode(int code);
// Puts the radio mark of the "&Marel" popup on the item of bottomSection, or
// on none while a dragged share holds.
void MarkBottomSectionItem();

// The lower pane's share in whole percent, as "BottomSectionPercent" stores
// it: the dragged share, or that of the size code (0 for none).
int BottomSharePercent();
// Takes a stored "BottomSectionPercent" after bottomSection is known: a
// usable share other than the code's own is a dragged one.
void UseStoredSharePercent(int percent);

// The divider between the panes: a drag on the separator line sets the lower
// pane's share. Each returns whether the pointer was its business.
bool OnDivider(HWND window, int x, int y);
bool SetDividerCursor(HWND window);
bool BeginDividerDrag(HWND window, LPARAM lParam);
void DragDivider(HWND window, LPARAM lParam);
void EndDividerDrag(HWND window);

// The width of a vertical scroll bar at `dpi`: the platform's in the reader
// (app/product_seams.cpp); the test programs may choose one.
int ScrollBarWidth(int dpi);
