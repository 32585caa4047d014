#include "navigation/search.h"

#include "accessibility/announce.h"
#include "app/app_state.h"
#include "app/commands.h"
#include "content/book_numbers.h"
#include "content/section_records.h"
#include "content/section_store.h"
#include "navigation/bookmarks.h"
#include "navigation/history.h"
#include "panes/pane_paint.h"
#include "panes/split_view.h"
#include "panes/text_layout.h"
#include "panes/text_pane.h"
#include "platform/out_of_memory.h"
#include "navigation/outline_panel.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace {

const int kRepaintMarks = 255;         // both panes, nothing erased, so the new mark is drawn over

TextPane* SearchedPane() { return gSplit.activePane ? gSplit.activePane : gApp.mainPane; }

// The matched section becomes current: a main-text section goes to the main
// pane with its commentary below, a commentary to the lower pane with its
// main text above; the pane that holds the match becomes the active one.
bool TakeMatchedSection(HWND owner, int startSection, SectionMatch* match) {
    int section = match->section;
    SetLesson((uint16_t)section);
    if (IsCommentarySection(section)) {
        gApp.lesson = (uint16_t)(section - 1);
        // The main window, not the owner: a dialog's dc must not get the panes.
        if (startSection != section - 1) GoToSection(gApp.mainWindow, kReloadSection);
    } else if (startSection != section + 1) {
        LoadBottomSection(owner);
    }
    TextPane* pane = IsCommentarySection(section) ? gSplit.bottomPane : gApp.mainPane;
    // Memory may have run out in the loads above; then the view stays as it is.
    if (!pane || ProgramEnding()) {
        PlatformFree(match->text);
        return false;
    }
    // The pane takes the text over; a text it refuses it frees.
    if (LayoutSection(pane, match->text, 1) != kLayoutDone) return false;
    // A match that no line shows (one in a rule's text) leaves the new
    // section at its top, not at the old section's row.
    pane->firstRow = 0;
    // After the layout, so that the accent's repaint draws the new text.
    SetActivePane(pane);
    FollowOutlinePanel(gApp.lesson);
    return true;
}

int ShowMatch(HWND owner, int endOffset, int length) {
    TextPane* pane = SearchedPane();
    if (!pane || ProgramEnding()) return 0;
    ScrollToTextOffset(pane, (uint16_t)endOffset);
    RepaintView(gApp.mainWindow, kRepaintAll);
    pane->markStart = (uint16_t)(endOffset - length + 1);
    pane->markEnd = (uint16_t)(endOffset + 1);
    RepaintView(gApp.mainWindow, kRepaintMarks);
    UpdateBookmarkCheck(owner, kMenuCheckSet);
    DrawTitleBox(pane);
    AnnouncePlace(L"Found in");
    return 1;
}

void FindRecordOfMark(const TextPane* pane, ResumeView* view) {
    RecordWalker walker;
    StartRecordWalk(&walker, pane->text, kUnboundedWalk);
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record)) {
        if (record.textOffset != pane->markStart) continue;
        view->markBeginsRecord = true;
        view->nextRecord = (uint16_t)(record.nextOffset < 0xFFFF ? record.nextOffset : 0xFFFF);
        return;
    }
}

ResumeView ViewOfPane(const TextPane* pane) {
    const TextLine* top = pane->lines;
    int rows = 0;
    while (top->flags && rows < pane->firstRow) {
        rows += (top->flags & kFlagParagraphEnd) ? 2 : 1;
        top++;
    }
    // Past the last line both stand for the terminator, whose fields are 0.
    const TextLine* next = top->flags ? top + 1 : top;
    ResumeView view;
    view.topOffset = (uint16_t)LineTextStart(top);
    view.topEnd = (uint16_t)LineTextEnd(top);
    view.nextEnd = (uint16_t)LineTextEnd(next);
    view.firstRow = pane->firstRow;
    view.lastFirstRow = pane->lastFirstRow;
    view.markStart = pane->markStart;
    view.markEnd = pane->markEnd;
    bool marked = pane->markStart || pane->markEnd;
    // The view went to the match's last byte, if a line held it.
    view.markOnNoLine = marked && RowOfTextOffset(pane, (uint16_t)(pane->markEnd - 1)) < 0;
    view.markBeginsRecord = false;
    view.nextRecord = 0;
    if (marked) FindRecordOfMark(pane, &view);
    return view;
}

bool PaneIsLaidOut(const TextPane* pane) { return pane && pane->lines && pane->text; }

}  // namespace

SearchPattern StoredSearchPattern() {
    SearchPattern pattern = PatternOfSearchString(gApp.searchString, kSearchStringBytes);
    pattern.options = gApp.searchOptions & kSearchKnownOptions;
    return pattern;
}

namespace {

// `from` is a resume offset going forward and a bound going backward.
int FindInText(const uint8_t* text, int direction, int from, const SearchPattern* pattern, int* length) {
    if (!text) return 0;
    if (direction == kSearchBackward)
        return FindBeforeInSectionText(text, kUnboundedWalk, from, pattern, AllocOrAbort, length);
    return FindInSectionText(text, kUnboundedWalk, (uint16_t)from, pattern, AllocOrAbort, length);
}

int StepWithWrap(int section, int direction) {
    if (direction == kSearchBackward)
        return section <= kFirstSection || section > kLastBookSection ? kLastBookSection : section - 1;
    return section >= kLastBookSection || section < kFirstSection ? kFirstSection : section + 1;
}

// Where the active pane is searched first: on from the view or the last
// match, in the search's direction.
int StartInPane(int direction) {
    return direction == kSearchBackward ? SearchBackwardBound() : SearchResumeOffset();
}

int RunSearch(HWND owner, int direction) {
    int startSection = gSplit.activePane && gSplit.activePane == gSplit.bottomPane ? gApp.lesson + 1 : gApp.lesson;
    SearchPattern pattern = StoredSearchPattern();
    if (pattern.length == 0) return 0;

    int length = 0;
    const TextPane* pane = SearchedPane();
    int end = FindInText(pane ? pane->text : nullptr, direction, StartInPane(direction), &pattern, &length);
    if (end == kSearchNoMemory) return 0;
    if (end > 0) return ShowMatch(owner, end, length);

    SectionMatch match;
    int scan = ScanOtherSections(startSection, direction, CommentaryHidden(), &pattern, &match);
    if (scan == kScanNoMemory) return 0;
    if (scan == kScanFound) {
        BookPlace before = CurrentPlace();
        if (!TakeMatchedSection(owner, startSection, &match)) return 0;
        int shown = ShowMatch(owner, match.endOffset, match.length);
        NoteMove(before);
        return shown;
    }
    // Back at the start, from its other end: the current pane in full, the
    // part behind where the search began too.
    int wholeSection = direction == kSearchBackward ? kPastEveryRecord : 0;
    pane = SearchedPane();
    end = FindInText(pane ? pane->text : nullptr, direction, wholeSection, &pattern, &length);
    if (end == kSearchNoMemory) return 0;
    if (end > 0) return ShowMatch(owner, end, length);
    ShowMessageBox(owner, L"Not Found!", L"Lorvan", MB_OK);
    return 0;
}

void ActivatePaneOf(int section) { SetActivePane(IsCommentarySection(section) ? gSplit.bottomPane : gApp.mainPane); }

}  // namespace

uint16_t SearchResumeOffset() {
    const TextPane* pane = SearchedPane();
    if (!PaneIsLaidOut(pane)) return 0;
    ResumeView view = ViewOfPane(pane);
    return ResumeOffsetOf(&view);
}

int SearchBackwardBound() {
    const TextPane* pane = SearchedPane();
    if (!PaneIsLaidOut(pane)) return kPastEveryRecord;
    ResumeView view = ViewOfPane(pane);
    return BackwardBoundOf(&view);
}

int ScanOtherSections(int startSection, int direction, bool mainTextOnly, const SearchPattern* pattern,
                      SectionMatch* match) {
    int section = startSection;
    // Counted, so that a start outside the book (a stored "Lesson" of 500)
    // still ends after one round.
    for (int step = 0; step < kLastBookSection; step++) {
        section = StepWithWrap(section, direction);
        if (section == startSection) break;
        if (mainTextOnly && IsCommentarySection(section)) continue;
        uint8_t* text = LoadSectionText(section, nullptr);
        if (!text) continue;
        int length = 0;
        int end = 0;
        // A section the layout would refuse cannot show its match.
        int wholeSection = direction == kSearchBackward ? kPastEveryRecord : 0;
        if (HasUsableFirstRecord(text)) end = FindInText(text, direction, wholeSection, pattern, &length);
        if (end > 0) {
            *match = {section, text, end, length};  // the caller owns the text now
            return kScanFound;
        }
        PlatformFree(text);
        if (end == kSearchNoMemory) return kScanNoMemory;
    }
    return kScanBackAtStart;
}

int FindNext(HWND owner) { return RunSearch(owner, kSearchForward); }

int FindPrevious(HWND owner) { return RunSearch(owner, kSearchBackward); }

int ShowSectionMatch(HWND owner, int section, int endOffset, int length) {
    if (!gApp.mainPane || ProgramEnding()) return 0;
    BookPlace before = CurrentPlace();
    bool shownAlready = section == gApp.lesson || (section == gApp.lesson + 1 && gSplit.bottomPane);
    if (shownAlready) {
        ActivatePaneOf(section);
    } else {
        uint8_t* text = LoadSectionText(section, nullptr);
        if (!text) return 0;
        if (!HasUsableFirstRecord(text)) {
            PlatformFree(text);
            return 0;
        }
        SectionMatch match = {section, text, endOffset, length};  // handed on to the pane
        if (!TakeMatchedSection(gApp.mainWindow, 0, &match)) return 0;
    }
    int shown = ShowMatch(owner, endOffset, length);
    NoteMove(before);
    return shown;
}
