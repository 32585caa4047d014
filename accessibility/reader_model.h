// What the screen readers are shown of the reader's window, without the
// platform's interfaces: its parts (the two panes and the status line),
// their names, places and documents. Both trees, UI Automation and MSAA, are
// built over it. Message-loop thread only.
#pragma once

#include <windows.h>

#include "accessibility/pane_document.h"

struct TextPane;

enum ReaderPart { kPartMain = 0, kPartLower = 1, kPartStatus = 2, kPartCount = 3 };

TextPane* PaneOfPart(int part);
// The part of a pane; -1 for none.
int PartOfPane(const TextPane* pane);
// The lower pane only while it has room on the screen; the status line only
// while it shows.
bool PartShown(int part);
// The parts shown, in order; returns how many.
int ShownParts(int parts[kPartCount]);
bool IsActivePart(int part);
// Where the part lies on the screen.
RECT PartScreenRect(HWND window, int part);
// A pane's name is its section's heading in reading order, the lower one's
// after "Marel: "; the status line's is what it shows. Owned by the caller
// (PlatformFree); null when memory runs out.
wchar_t* PartName(int part);
// The pane's document, brought up to date; null for the status line, a pane
// without text, or when memory runs out.
PaneDocument* PartDocument(int part);
// The line at the top of a pane, its reading caret, as text. Owned by the
// caller; null without one.
wchar_t* CaretLineText(int part);
void ReleasePartDocuments();
// The last place announced (announce.h); empty before one.
const wchar_t* LastAnnouncement();
