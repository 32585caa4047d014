// The panes as screen readers get them, in the reader's window over the
// embedded book: every section's document is Copy's text with rows that
// cover it once at two widths, and the text pattern's units, moves and
// ranges behave as a client relies on, up to a range outliving its section.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "accessibility/item_list_access.h"
#include "accessibility/reader_access.h"
#include "accessibility/reader_model.h"
#include "accessibility/uia_api.h"
#include "app/app_state.h"
#include "app/commands.h"
#include "clipboard/copy_text.h"
#include "content/book_numbers.h"
#include "navigation/find_all_window.h"
#include "navigation/outline_panel.h"
#include "navigation/outline_view.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/mirrored_text.h"
#include "platform/services.h"
#include "tests/book/book_reader_test.h"

namespace {

const int kNarrowPx = 300;
const int kWidePx = 900;
const int kHeightPx = 600;

std::wstring CopyOfPane(const TextPane* pane) {
    CopyTextCounts counts;
    MeasureCopyText(pane->text, &counts);
    std::wstring text(CopyTextBufferChars(&counts), L'#');
    uint32_t saved = gApp.flags;
    ReadingForm form = ReadingFormOfCopy();
    // Copy builds with the Reverse bit as its own form wants it.
    if (form.mirror != ReverseModeActive()) gApp.flags ^= kFlagReverse;
    EXPECT_EQ(BuildCopyText(pane->text, &text[0], text.size() * sizeof(wchar_t)), kCopyTextBuilt);
    gApp.flags = saved;
    return text.substr(0, text.find(L'\0'));
}

std::wstring Trimmed(const std::wstring& s) {
    size_t first = s.find_first_not_of(L" \r\n"), last = s.find_last_not_of(L" \r\n");
    return first == std::wstring::npos ? L"" : s.substr(first, last - first + 1);
}

std::wstring Text(ITextRangeProvider* range) {
    BSTR text = nullptr;
    if (FAILED(range->GetText(-1, &text))) return L"<gone>";
    std::wstring result(text, SysStringLen(text));
    SysFreeString(text);
    return result;
}

std::wstring StringProperty(IRawElementProviderSimple* element, PROPERTYID id) {
    VARIANT value;
    VariantInit(&value);
    element->GetPropertyValue(id, &value);
    std::wstring result = value.vt == VT_BSTR ? value.bstrVal : L"<none>";
    VariantClear(&value);
    return result;
}

int IntProperty(IRawElementProviderSimple* element, PROPERTYID id) {
    VARIANT value;
    VariantInit(&value);
    element->GetPropertyValue(id, &value);
    return value.vt == VT_I4 ? value.lVal : -1;
}

bool BoolProperty(IRawElementProviderSimple* element, PROPERTYID id) {
    VARIANT value;
    VariantInit(&value);
    element->GetPropertyValue(id, &value);
    return value.vt == VT_BOOL && value.boolVal == VARIANT_TRUE;
}

class ReaderAccessTest : public BookReaderTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(OpenReader(15, kWidePx, kHeightPx)); }
    void TearDown() override {
        for (IUnknown* held : held_) held->Release();
        BookReaderTest::TearDown();
    }
    template <typename T>
    T* Hold(T* object) {
        if (object) held_.push_back(object);
        return object;
    }
    // What a client asks first; the program's own request answers with the
    // platform's wrapper, so the provider comes through the seam.
    ITextProvider* TextOf(const TextPane* pane, IRawElementProviderSimple** element = nullptr) {
        SendMessageW(window, WM_GETOBJECT, 0, (LPARAM)kUiaRootObjectId);
        IRawElementProviderSimple* provider = Hold(PaneProviderForTests(pane));
        if (!provider) return nullptr;
        if (element) *element = provider;
        IUnknown* pattern = nullptr;
        provider->GetPatternProvider(kUiaTextPatternId, &pattern);
        Hold(pattern);
        ITextProvider* text = nullptr;
        if (pattern) pattern->QueryInterface(__uuidof(ITextProvider), (void**)&text);
        return Hold(text);
    }
    ITextRangeProvider* Caret(ITextProvider* text) {
        SAFEARRAY* ranges = nullptr;
        if (FAILED(text->GetSelection(&ranges)) || !ranges) return nullptr;
        LONG index = 0;
        IUnknown* first = nullptr;
        SafeArrayGetElement(ranges, &index, &first);
        SafeArrayDestroy(ranges);
        ITextRangeProvider* range = nullptr;
        if (first) first->QueryInterface(__uuidof(ITextRangeProvider), (void**)&range);
        if (first) first->Release();
        return Hold(range);
    }
    ITextRangeProvider* Clone(ITextRangeProvider* range) {
        ITextRangeProvider* copy = nullptr;
        range->Clone(&copy);
        return Hold(copy);
    }
    void Key(WPARAM key) { SendMessageW(window, WM_KEYDOWN, key, 0); }

    // A drawn list's root as a client finds it first.
    IRawElementProviderSimple* ListRoot(HWND host) {
        SendMessageW(host, WM_GETOBJECT, 0, (LPARAM)kUiaRootObjectId);
        return Hold(ItemListRootForTests(host));
    }
    IRawElementProviderSimple* Simple(IRawElementProviderFragment* fragment) {
        IRawElementProviderSimple* simple = nullptr;
        if (fragment) fragment->QueryInterface(__uuidof(IRawElementProviderSimple), (void**)&simple);
        if (fragment) fragment->Release();
        return Hold(simple);
    }
    IRawElementProviderSimple* Step(IRawElementProviderSimple* from, NavigateDirection direction) {
        IRawElementProviderFragment* fragment = nullptr;
        from->QueryInterface(__uuidof(IRawElementProviderFragment), (void**)&fragment);
        if (!fragment) return nullptr;
        IRawElementProviderFragment* to = nullptr;
        fragment->Navigate(direction, &to);
        fragment->Release();
        return Simple(to);
    }
    // The first `most` items of a list, in order.
    std::vector<IRawElementProviderSimple*> Items(IRawElementProviderSimple* root, size_t most = 100000) {
        std::vector<IRawElementProviderSimple*> items;
        for (IRawElementProviderSimple* item = Step(root, NavigateDirection_FirstChild); item && items.size() < most;
             item = Step(item, NavigateDirection_NextSibling))
            items.push_back(item);
        return items;
    }
    template <typename T>
    T* Pattern(IRawElementProviderSimple* element, PATTERNID id) {
        IUnknown* pattern = nullptr;
        element->GetPatternProvider(id, &pattern);
        T* typed = nullptr;
        if (pattern) pattern->QueryInterface(__uuidof(T), (void**)&typed);
        if (pattern) pattern->Release();
        return Hold(typed);
    }
    // The name of the one item the list's selection holds, or "<none>".
    std::wstring SelectedName(IRawElementProviderSimple* root) {
        ISelectionProvider* selection = Pattern<ISelectionProvider>(root, kUiaSelectionPatternId);
        SAFEARRAY* selected = nullptr;
        if (!selection || FAILED(selection->GetSelection(&selected)) || !selected) return L"<none>";
        LONG upper = -1, index = 0;
        SafeArrayGetUBound(selected, 1, &upper);
        IUnknown* first = nullptr;
        if (upper == 0) SafeArrayGetElement(selected, &index, &first);
        SafeArrayDestroy(selected);
        IRawElementProviderSimple* element = nullptr;
        if (first) first->QueryInterface(__uuidof(IRawElementProviderSimple), (void**)&element);
        if (first) first->Release();
        return Hold(element) ? StringProperty(element, kUiaNamePropertyId) : L"<none>";
    }

private:
    std::vector<IUnknown*> held_;
};

// Every row's span holds exactly the letters its line shows.
void ExpectRowsCoverOnce(const PaneDocument* doc, const TextPane* pane, int section) {
    std::vector<int> covered(doc->length, 0);
    int row = 0;
    for (const TextLine* line = pane->lines; line->flags; line++, row++) {
        ASSERT_LT(row, doc->rowCount);
        ReadingSpan span = doc->rows[row];
        std::wstring shown(doc->chars + span.start, span.end - span.start);
        std::wstring letters;
        for (int at = LineTextStart(line); at < LineTextEnd(line); at++)
            letters += (wchar_t)CharacterOfCode(pane->text[at], doc->form.letterBase);
        if (doc->form.mirror) {
            letters.assign(letters.rbegin(), letters.rend());
            for (wchar_t& c : letters) c = (wchar_t)MirroredBracket(c);
        }
        if (!IsSpacerRecord(line->flags)) {
            EXPECT_EQ(Trimmed(shown), Trimmed(letters)) << "section " << section << " row " << row;
        }
        if (line->flags & kFlagParagraphEnd) row++;
    }
    EXPECT_EQ(row, doc->rowCount) << "section " << section;
    for (int r = 0; r < doc->rowCount; r++)
        for (uint32_t i = doc->rows[r].start; i < doc->rows[r].end; i++) covered[i]++;
    for (size_t i = 0; i < covered.size(); i++) ASSERT_EQ(covered[i], 1) << "section " << section << " unit " << i;
}

TEST_F(ReaderAccessTest, EverySectionReadsAsCopyWithRowsCoveringItOnceAtTwoWidths) {
    for (int width : {kWidePx, kNarrowPx}) {
        SetWindowPos(window, nullptr, 0, 0, width, kHeightPx, SWP_NOZORDER);
        for (int section = kFirstSection; section < kLastBookSection; section += 2) {
            ASSERT_EQ(GoToSection(window, (uint32_t)section), 0);
            for (int part : {kPartMain, kPartLower}) {
                const TextPane* pane = PaneOfPart(part);
                PaneDocument* doc = PartDocument(part);
                ASSERT_NE(doc, nullptr) << section;
                ASSERT_EQ(std::wstring(doc->chars, doc->length), CopyOfPane(pane)) << "section " << section;
                ASSERT_NO_FATAL_FAILURE(ExpectRowsCoverOnce(doc, pane, section + part));
            }
        }
    }
}

TEST_F(ReaderAccessTest, TheCaretFollowsTheKeysAndTheUnitsMoveThroughTheText) {
    IRawElementProviderSimple* lowerElement = nullptr;
    ASSERT_NE(TextOf(gSplit.bottomPane, &lowerElement), nullptr);
    EXPECT_EQ(StringProperty(lowerElement, kUiaNamePropertyId).rfind(L"Marel: ", 0), 0u);
    EXPECT_EQ(IntProperty(lowerElement, kUiaControlTypePropertyId), kUiaDocumentControlTypeId);
    EXPECT_EQ(IntProperty(lowerElement, kUiaCulturePropertyId), kHebrewCulture);

    IRawElementProviderSimple* mainElement = nullptr;
    ITextProvider* text = TextOf(gApp.mainPane, &mainElement);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(StringProperty(mainElement, kUiaNamePropertyId).find(L"Marel"), std::wstring::npos);
    ITextRangeProvider* all = nullptr;
    ASSERT_EQ(text->get_DocumentRange(&all), S_OK);
    Hold(all);
    std::wstring document = Text(all);
    EXPECT_EQ(document, CopyOfPane(gApp.mainPane));

    // The caret: an empty range at the top line, which is the MSAA value.
    ITextRangeProvider* caret = Caret(text);
    ASSERT_NE(caret, nullptr);
    EXPECT_EQ(Text(caret), L"");
    ITextRangeProvider* line = Clone(caret);
    ASSERT_EQ(line->ExpandToEnclosingUnit(kTextUnitLine), S_OK);
    std::wstring top = Text(line);
    EXPECT_FALSE(Trimmed(top).empty());
    wchar_t* value = CaretLineText(kPartMain);
    EXPECT_EQ(Trimmed(top), Trimmed(value));
    PlatformFree(value);

    // Down moves the caret one line on, as Move by a line does.
    ITextRangeProvider* next = Clone(line);
    int moved = 0;
    ASSERT_EQ(next->Move(kTextUnitLine, 1, &moved), S_OK);
    EXPECT_EQ(moved, 1);
    Key(VK_DOWN);
    ITextRangeProvider* after = Clone(Caret(text));
    after->ExpandToEnclosingUnit(kTextUnitLine);
    EXPECT_EQ(Text(after), Text(next));
    EXPECT_NE(Text(after), top);
    int order = 0;
    caret->CompareEndpoints(kEndpointStart, after, kEndpointStart, &order);
    EXPECT_NE(order, 0);

    // Words end where the spaces after them end; characters step by one.
    ITextRangeProvider* word = Clone(line);
    word->ExpandToEnclosingUnit(kTextUnitWord);
    std::wstring firstWord = Text(word);
    ASSERT_FALSE(firstWord.empty());
    EXPECT_EQ(Trimmed(firstWord).find(L' '), std::wstring::npos);
    EXPECT_EQ(top.rfind(firstWord, 0), 0u);
    ITextRangeProvider* character = Clone(line);
    character->ExpandToEnclosingUnit(kTextUnitCharacter);
    EXPECT_EQ(Text(character), top.substr(0, 1));
    ASSERT_EQ(character->Move(kTextUnitCharacter, 3, &moved), S_OK);
    EXPECT_EQ(moved, 3);
    EXPECT_EQ(Text(character), top.substr(3, 1));
    ITextRangeProvider* backwards = Clone(all);
    ASSERT_EQ(backwards->MoveEndpointByUnit(kEndpointEnd, kTextUnitCharacter, -2, &moved), S_OK);
    EXPECT_EQ(moved, -2);
    EXPECT_EQ(Text(backwards), document.substr(0, document.size() - 2));

    // A paragraph is one line of the text up to its line end.
    ITextRangeProvider* paragraph = Clone(line);
    paragraph->ExpandToEnclosingUnit(kTextUnitParagraph);
    std::wstring paragraphText = Text(paragraph);
    ASSERT_GE(paragraphText.size(), 2u);
    EXPECT_EQ(paragraphText.substr(paragraphText.size() - 2), L"\r\n");
    EXPECT_EQ(paragraphText.find(L'\n'), paragraphText.size() - 1);
    EXPECT_NE(paragraphText.find(Trimmed(top)), std::wstring::npos);

    // Moving past either end stops there and says how far it went.
    ITextRangeProvider* start = Clone(all);
    start->ExpandToEnclosingUnit(kTextUnitLine);
    EXPECT_EQ(start->Move(kTextUnitLine, -5, &moved), S_OK);
    EXPECT_EQ(moved, 0);
    EXPECT_EQ(start->Move(kTextUnitDocument, 2, &moved), S_OK);
    EXPECT_EQ(moved, 0);
}

TEST_F(ReaderAccessTest, BoxesAndPointsAgreeWithTheScreenAndAKeptRangeOutlivesNoSection) {
    ITextProvider* text = TextOf(gApp.mainPane);
    ASSERT_NE(text, nullptr);
    ITextRangeProvider* line = Clone(Caret(text));
    line->ExpandToEnclosingUnit(kTextUnitLine);
    SAFEARRAY* boxes = nullptr;
    ASSERT_EQ(line->GetBoundingRectangles(&boxes), S_OK);
    ASSERT_NE(boxes, nullptr);
    LONG upper = -1;
    SafeArrayGetUBound(boxes, 1, &upper);
    ASSERT_EQ(upper, 3);  // one box
    double box[4];
    for (LONG i = 0; i < 4; i++) SafeArrayGetElement(boxes, &i, &box[i]);
    SafeArrayDestroy(boxes);
    RECT pane = PartScreenRect(window, kPartMain);
    EXPECT_GE(box[0], pane.left);
    EXPECT_LE(box[0] + box[2], pane.right);
    EXPECT_GE(box[1], pane.top);
    EXPECT_GT(box[2], 0);

    // The point inside the line's box lands inside the line.
    ITextRangeProvider* at = nullptr;
    ASSERT_EQ(text->RangeFromPoint({box[0] + box[2] / 2, box[1] + box[3] / 2}, &at), S_OK);
    Hold(at);
    int before = 0, past = 0;
    at->CompareEndpoints(kEndpointStart, line, kEndpointStart, &before);
    at->CompareEndpoints(kEndpointStart, line, kEndpointEnd, &past);
    EXPECT_GT(before, 0);
    EXPECT_LT(past, 0);

    // F6 takes the keys to the other pane and back.
    Key(VK_F6);
    EXPECT_EQ(gSplit.activePane, gSplit.bottomPane);
    EXPECT_TRUE(IsActivePart(kPartLower));
    Key(VK_F6);
    EXPECT_TRUE(IsActivePart(kPartMain));

    // Another section: what was kept of the old one is gone, the new one reads.
    Key(VK_RIGHT);
    BSTR gone = nullptr;
    EXPECT_EQ(line->GetText(-1, &gone), kUiaElementNotAvailable);
    int moved = 0;
    EXPECT_EQ(line->Move(kTextUnitLine, 1, &moved), kUiaElementNotAvailable);
    ITextRangeProvider* fresh = nullptr;
    ASSERT_EQ(text->get_DocumentRange(&fresh), S_OK);
    Hold(fresh);
    EXPECT_EQ(Text(fresh), CopyOfPane(gApp.mainPane));
}

// The outline beside the text as a tree a client works: a heading opens and
// closes, a link chosen by selecting it is gone to and becomes the selected
// item, and once the panel closes what the client kept reports it is gone.
TEST_F(ReaderAccessTest, TheOutlineOpensClosesAndChoosesAndTheResultsSelect) {
    SendMessageW(window, WM_COMMAND, kOutlinePanelCommand, 0);
    HWND panel = OutlinePanelWindow();
    ASSERT_NE(panel, nullptr);
    IRawElementProviderSimple* tree = ListRoot(panel);
    ASSERT_NE(tree, nullptr);
    std::vector<IRawElementProviderSimple*> items = Items(tree);
    ASSERT_GT(items.size(), 2u);
    IRawElementProviderSimple *heading = nullptr, *link = nullptr;
    for (IRawElementProviderSimple* item : items) {
        int state = IntProperty(item, kUiaExpandCollapseStatePropertyId);
        if (!heading && state == kCollapsed) heading = item;
        if (!link && BoolProperty(item, kUiaIsSelectionItemPatternAvailablePropertyId) &&
            !BoolProperty(item, kUiaSelectionItemIsSelectedPropertyId))
            link = item;
    }
    ASSERT_NE(heading, nullptr);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(Pattern<IExpandCollapseProvider>(link, kUiaExpandCollapsePatternId), nullptr);
    IExpandCollapseProvider* fold = Pattern<IExpandCollapseProvider>(heading, kUiaExpandCollapsePatternId);
    ASSERT_NE(fold, nullptr);
    EXPECT_EQ(fold->Expand(), S_OK);
    int state = -1;
    fold->get_ExpandCollapseState(&state);
    EXPECT_EQ(state, kExpanded);
    EXPECT_GT(Items(tree).size(), items.size());
    EXPECT_EQ(fold->Collapse(), S_OK);
    EXPECT_EQ(Items(tree).size(), items.size());
    EXPECT_EQ(IntProperty(heading, kUiaExpandCollapseStatePropertyId), kCollapsed);

    // Selecting a link goes there; a heading is no selection's.
    std::wstring before = SelectedName(tree), chosen = StringProperty(link, kUiaNamePropertyId);
    EXPECT_NE(before, L"<none>");
    uint16_t lesson = gApp.lesson;
    ISelectionItemProvider* choice = Pattern<ISelectionItemProvider>(link, kUiaSelectionItemPatternId);
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->Select(), S_OK);
    EXPECT_NE(gApp.lesson, lesson);
    EXPECT_EQ(SelectedName(tree), chosen);
    EXPECT_EQ(Pattern<ISelectionItemProvider>(heading, kUiaSelectionItemPatternId), nullptr);
    EXPECT_EQ(IntProperty(link, kUiaExpandCollapseStatePropertyId), kLeafNode);

    ReloadOutlines(gApp.lesson);  // as another book opens: what the client kept is gone
    EXPECT_EQ(fold->Expand(), kUiaElementNotAvailable);
    EXPECT_EQ(choice->Select(), kUiaElementNotAvailable);

    // Find All's rows: selecting one selects its row, as a click does.
    memset(gApp.searchString, 0, sizeof gApp.searchString);
    strcpy((char*)gApp.searchString, "nj");
    ASSERT_GT(RunFindAll(window), 2);
    ASSERT_NE(OpenFindAllWindow(), nullptr);
    IRawElementProviderSimple* list = ListRoot(FindWindowExW(FindAllWindow(), nullptr, L"LorvanFindAllList", nullptr));
    ASSERT_NE(list, nullptr);
    std::vector<IRawElementProviderSimple*> rows = Items(list, 3);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(Pattern<IExpandCollapseProvider>(rows[2], kUiaExpandCollapsePatternId), nullptr);
    ISelectionItemProvider* row = Pattern<ISelectionItemProvider>(rows[2], kUiaSelectionItemPatternId);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Select(), S_OK);
    EXPECT_EQ(FindAllSelectedRow(), 2);
    BOOL selected = FALSE;
    row->get_IsSelected(&selected);
    EXPECT_TRUE(selected);
    EXPECT_FALSE(BoolProperty(rows[0], kUiaSelectionItemIsSelectedPropertyId));
    EXPECT_EQ(SelectedName(list), StringProperty(rows[2], kUiaNamePropertyId));
    EXPECT_EQ(row->RemoveFromSelection(), kUiaInvalidOperation);
}

}  // namespace
