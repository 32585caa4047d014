#include "app/commands.h"

#include "app/about_box.h"
#include "app/app_state.h"
#include "app/book_file.h"
#include "app/desktop_frame.h"
#include "app/main_window.h"
#include "app/view_scale.h"
#include "clipboard/copy_text.h"
#include "content/book_numbers.h"
#include "content/section_store.h"
#include "fontdialog/font_dialog.h"
#include "navigation/bookmarks.h"
#include "navigation/go_to_dialog.h"
#include "navigation/history.h"
#include "navigation/outline_panel.h"
#include "navigation/outline_view.h"
#include "navigation/find_all_window.h"
#include "navigation/search.h"
#include "navigation/search_dialog.h"
#include "navigation/section_chooser.h"
#include "panes/pane_paint.h"
#include "panes/pane_pointer.h"
#include "panes/split_view.h"
#include "panes/text_layout.h"
#include "panes/text_pane.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"
#include "print/print_dialogs.h"

namespace {

const int kSectionStep = 2;  // main-text sections are the odd numbers
const int kRepaintAfterResize = 1023;

enum Command : UINT {
    kCommandChooseAlias = 107,
    kCommandNext = 109,
    kCommandPrevious = 110,
    kCommandSearch = 116,
    kCommandSearchAgain = 117,
    kCommandChoose = 119,
    kCommandReverse = 122,
    kCommandCheckUpdates = 129,
    kCommandFindAll = 160,
    kCommandSearchPrevious = 161,
    kCommandAbout = 40004,
    kCommandExit = 40005,
    kCommandFont = 40006,
};

TextPane* ActivePane() { return gSplit.activePane ? gSplit.activePane : gApp.mainPane; }

// Changes the commentary pane's share of the height and marks its menu item.
// After a drag of the divider the fraction the code had applies again.
void SetBottomSection(HWND window, int code) {
    if (code == gSplit.bottomSection && !gSplit.bottomShare) return;
    gSplit.bottomSection = code;
    gSplit.bottomShare = 0;
    // Keys, scroll steps and Copy must not act on a pane nobody can see.
    if (code == kBottomSectionNone) ActivateMainPane();
    OnSize(window, kRelayoutMarker);
    RepaintView(window, kRepaintAfterResize);
    MarkBottomSectionItem();
    RefreshFindAll();  // its commentary rows come and go with the pane
}

void ToggleReverse(HWND window) {
    UpdateReverseCheck(window, kMenuCheckToggle);
    RepaintView(window, kRepaintAll);
    RefreshFindAll();
}

// The dialog's Find All button closes it with the matches found.
void OnSearchCommand() {
    if (RunSearchDialog(gApp.mainWindow) == kSearchDialogFoundAll) OpenFindAllWindow();
}

// Without a search set there is nothing to look for yet: the dialog asks.
void OnFindAllCommand() {
    if (!gApp.searchString[0]) OnSearchCommand();
    else if (RunFindAll(gApp.mainWindow) > 0) OpenFindAllWindow();
}

// OK, Cancel and the current section's own link all leave the reader where it is.
void OnChooseSection(HWND window) {
    BookPlace before = CurrentPlace();
    uint16_t chosen = ChooseSection(gApp.instance, window, gApp.lesson, &gApp.font);
    if (chosen && chosen != gApp.lesson && GoToSection(window, chosen) == 0) NoteMove(before);
}

void OnBookmarkCommand(HWND window) {
    ToggleBookmark(IsBookmarked());
    UpdateBookmarkCheck(window, kMenuCheckSet);
    RefreshOutlines(gApp.lesson);  // the group at the head of every outline open
}

// Scrolls the active pane by `deltaRows` and keeps its scroll bar in step.
void ScrollActivePane(HWND window, int deltaRows) {
    TextPane* pane = ActivePane();
    if (!pane) return;
    if (ScrollPane(pane, deltaRows, 0) != kScrollUnchanged)
        RepaintView(window, pane == gApp.mainPane ? kRepaintEraseMain | kRepaintMain
                                                  : kRepaintEraseMain | kRepaintBottom);
    UpdateScrollBar(gSplit.activeScrollBar);
}

// The font dialog edits the program-wide font; the panes take it only on OK.
void ChooseReadingFont(HWND window) {
    if (RunFontDialog(window, &gApp.font) != IDOK) return;
    gApp.chosenFontSize = gApp.font.size;
    SetViewFont(window);
    RefreshOutlinePanel();
    RefreshFindAll();
}

// F6 goes to the other pane while the lower one shows: without it the keys
// could never reach the commentary.
void SwitchActivePane() {
    if (BottomPaneShown()) SetActivePane(ActivePane() == gApp.mainPane ? gSplit.bottomPane : gApp.mainPane);
}

// F6 goes round the places of the keyboard: the main pane, the commentary
// while it shows, the outline beside the text while it shows.
void SwitchKeyboardPlace(HWND window) {
    bool onLastPane = !BottomPaneShown() || ActivePane() == gSplit.bottomPane;
    if (onLastPane && SwitchOutlineFocus(window)) return;
    SwitchActivePane();
}

// Escape undoes the nearest thing first: a selection made in full screen is
// let go without throwing the reader out of it; the next Escape leaves.
int OnEscape(HWND window) {
    if (ClearPaneSelections()) return 0;
    if (!InFullScreen()) return 1;
    LeaveFullScreen(window);
    return 0;
}

}  // namespace

int SteppedSection(int lesson, int step) {
    int n = lesson + step;
    if (n > kLastBookSection) return kFirstSection;
    if (n < kFirstSection) return kLastBookSection - 1;
    return n;
}

int DispatchCommand(HWND window, WPARAM wParam) {
    UINT command = LOWORD(wParam);
    int code = (int)command - (int)kBottomSectionCommandBase;
    if (IsBottomSectionCode(code)) {
        SetBottomSection(window, code);
        return 0;
    }
    if (command >= kCommandThemeLight && command <= kCommandThemeDark) {
        SetTheme(window, (int)(command - kCommandThemeLight));
        RefreshFindAll();
        return 0;
    }
    switch (command) {
    case kCommandFullScreen: ToggleFullScreen(window); return 0;
    case kCommandReadingColumn: ToggleReadingColumn(window); return 0;
    case kOutlinePanelCommand: ToggleOutlinePanel(window); return 0;
    case kCommandNext: NextSection(window); return 0;
    case kCommandPrevious: PreviousSection(window); return 0;
    case kCommandReverse: ToggleReverse(window); return 0;
    case kCommandSearch: OnSearchCommand(); return 0;
    case kCommandSearchAgain: FindNext(gApp.mainWindow); return 0;
    case kCommandSearchPrevious: FindPrevious(gApp.mainWindow); return 0;
    case kCommandFindAll: OnFindAllCommand(); return 0;
    case kCommandExit: DestroyWindow(window); return 0;
    case kCommandBookmark: OnBookmarkCommand(window); return 0;
    case kCommandChoose:
    case kCommandChooseAlias: OnChooseSection(window); return 0;
    case kCommandAbout: ShowAboutBox(window); return 0;
    case kCommandCheckUpdates: CheckForUpdates(gApp.mainWindow); return 0;
    case kCommandFont: ChooseReadingFont(window); return 0;
    case kOpenBookCommand: ChooseBookFile(window); return 0;
    case kBuiltInBookCommand: OpenBuiltInBook(window); return 0;
    case kBookInformationCommand: ShowBookInformation(window); return 0;
    case kCommandCopy: CopyPaneText(PaneToCopy(), 0); return 0;
    case kCommandAppend: CopyPaneText(PaneToCopy(), 1); return 0;
    case kBackCommand: GoBack(window); return 0;
    case kForwardCommand: GoForward(window); return 0;
    case kGoToCommand: GoToAskedSection(window); return 0;
    case kCommandSelectAll: SelectAllInActivePane(); return 0;
    case kZoomInCommand: ZoomBy(window, 1); return 0;
    case kZoomOutCommand: ZoomBy(window, -1); return 0;
    case kActualSizeCommand: ZoomToChosenSize(window); return 0;
    case kPrintCommand: OnPrintCommand(window); return 0;
    case kPrintPreviewCommand: OnPrintPreviewCommand(window); return 0;
    case kPageSetupCommand: OnPageSetupCommand(window); return 0;
    default: return 1;
    }
}

int OnKeyDown(HWND window, WPARAM key) {
    TextPane* pane = ActivePane();
    int rowsDrawn = pane ? pane->rowsDrawn : 0;
    int firstRow = pane ? pane->firstRow : 0;
    int lastFirstRow = pane ? pane->lastFirstRow : 0;
    int page = PageRows(rowsDrawn, (gApp.flags & kFlagKeyPageStepMask) >> kFlagKeyPageStepShift);
    switch (key) {
    case VK_RETURN:
        // With no search set Enter does nothing, and is still consumed.
        if (gApp.searchString[0]) FindNext(window);
        return 0;
    case VK_PRIOR: ScrollActivePane(window, -page); return 0;
    case VK_NEXT: ScrollActivePane(window, page); return 0;
    case VK_END: ScrollActivePane(window, lastFirstRow ? lastFirstRow : page); return 0;
    case VK_HOME: ScrollActivePane(window, firstRow ? -firstRow : -page); return 0;
    case VK_LEFT: PreviousSection(window); return 0;
    case VK_UP: ScrollActivePane(window, -1); return 0;
    case VK_RIGHT: NextSection(window); return 0;
    case VK_DOWN: ScrollActivePane(window, 1); return 0;
    case VK_ESCAPE: return OnEscape(window);
    case VK_F6: SwitchKeyboardPlace(window); return 0;
    default: return 1;
    }
}

int GoToSection(HWND window, uint32_t n) {
    if (LoadSectionPanes(window, n) != 0) return 1;
    RepaintView(window, kRepaintAll);
    UpdateBookmarkCheck(window, kMenuCheckSet);
    return 0;
}

int LoadSectionPanes(HWND window, uint32_t n) {
    if (ProgramEnding()) return 1;
    uint16_t previous = gApp.lesson;
    bool reload = n == kReloadSection;
    if (!reload) SetLesson((uint16_t)n);
    uint8_t* text = LoadSectionText(gApp.lesson, nullptr);
    if (!text) {
        gApp.lesson = previous;
        return 1;
    }
    if (!gApp.mainPane) {
        PlatformFree(text);
        gApp.lesson = previous;
        return 1;
    }
    LayoutSection(gApp.mainPane, text, 1);  // the pane owns the text from here
    gApp.mainPane->firstRow = 0;
    if (!reload) LoadBottomSection(window);
    FollowOutlinePanel(gApp.lesson);
    return 0;
}

int StepSection(HWND window, int step) {
    return GoToSection(window, (uint32_t)SteppedSection(gApp.lesson, step));
}

int NextSection(HWND window) { return StepSection(window, kSectionStep); }
int PreviousSection(HWND window) { return StepSection(window, -kSectionStep); }
