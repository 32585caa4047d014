// The Search dialog over the reader's own window: its keyboard, typing into
// its edit, and OK running the search.
#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <string>

#include "app/app_state.h"
#include "app/main_window.h"
#include "navigation/find_all_window.h"
#include "navigation/search_dialog.h"
#include "navigation/search_match.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/dialog_shell.h"
#include "platform/right_to_left_typing.h"
#include "platform/stored_order_edit.h"
#include "tests/common/message_capture.h"
#include "tests/win/reader_test_support.h"

namespace {

const wchar_t kDialogTestClass[] = L"LorvanSearchDialogTest";
const UINT kRunChecks = WM_APP + 7;
const wchar_t kAlef = 0x5D0;

std::function<void(HWND)> gChecks;

// The dialog's own procedure, with the test's checks run once it is up.
INT_PTR CALLBACK CheckedSearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunChecks) {
        gChecks(dialog);
        return TRUE;
    }
    INT_PTR result = SearchDialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG) PostMessageW(dialog, kRunChecks, 0, 0);
    return result;
}

std::wstring EditText(HWND dialog) {
    wchar_t text[64] = L"";
    GetDlgItemTextW(dialog, kSearchEditId, text, 64);
    return text;
}

DWORD SelectionStart(HWND dialog) {
    DWORD start = 0, end = 0;
    SendDlgItemMessageW(dialog, kSearchEditId, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    return start;
}

void ClearEdit(HWND dialog) { SetDlgItemTextW(dialog, kSearchEditId, L""); }

// A click at the centre of `key` (row and column as drawn), in the dialog.
void ClickKey(HWND dialog, int row, int column, UINT message = WM_LBUTTONDOWN) {
    POINT origin = KeyboardOrigin(dialog);
    int x = origin.x + column * kKeyWidthPx + kKeyWidthPx / 2;
    int y = origin.y + row * kKeyHeightPx + kKeyHeightPx / 2;
    SendMessageW(dialog, message, MK_LBUTTON, MAKELPARAM(x, y));
}

// Key number k sits in row (k - 1) / 9, counted from the right.
void ClickKeyNumber(HWND dialog, int key) { ClickKey(dialog, (key - 1) / 9, 8 - (key - 1) % 9); }

class SearchDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetReaderForTest();
        gApp.lesson = 1;
        RegisterMainClass(gApp.instance, kDialogTestClass);
        window = CreateWindowExW(0, kDialogTestClass, L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 400, nullptr, nullptr,
                                 gApp.instance, nullptr);
        ASSERT_NE(window, nullptr);
        RECT client;
        GetClientRect(window, &client);
        OnSize(window, MAKELPARAM(client.right, client.bottom));
    }
    void TearDown() override {
        gChecks = nullptr;
        if (window) DestroyWindow(window);
        TakeQuitMessage();
    }
    INT_PTR Run(std::function<void(HWND)> checks, const SearchStart* start = nullptr) {
        gChecks = checks;
        return RunDialogTemplate(gApp.instance, kSearchDialogId, window, CheckedSearchDialogProc, (LPARAM)start);
    }

    TestSettingsKeys keys;
    MessageBoxCatcher boxes;
    MessageCapture plainMessages;
    HWND window = nullptr;
};

}  // namespace

TEST(SearchKeyboard, EveryAreaEntersTheKeyDrawnThere) {
    for (int row = 0; row < 3; row++) {
        for (int column = 0; column < 9; column++) {
            int key = 9 * (row + 1) - column;
            EXPECT_EQ(KeyAt(column * 17, row * 25), key);
            EXPECT_EQ(KeyAt(column * 17 + 16, row * 25 + 24), key);
        }
    }
    EXPECT_EQ(KeyAt(0, 0), 9);     // tet, top left
    EXPECT_EQ(KeyAt(152, 0), 1);   // alef, top right
    EXPECT_EQ(KeyAt(0, 74), 27);   // tav, bottom left of the letters
    EXPECT_EQ(KeyAt(34, 75), 0);   // the space bar
    EXPECT_EQ(KeyAt(118, 94), 0);
    EXPECT_EQ(KeyAt(33, 80), -1);  // beside it nothing
    EXPECT_EQ(KeyAt(119, 80), -1);
    EXPECT_EQ(KeyAt(153, 10), -1);
    EXPECT_EQ(KeyAt(10, 95), -1);
    EXPECT_EQ(KeyAt(-1, 10), -1);
    EXPECT_STREQ(kKeyboardTable, "abcdefghijlkmonqprsutwvxyz{");
}

// Each dialog costs seconds under Xvfb (Wine waits for a window manager that
// is not there), so one dialog carries the keyboard and the typing.
TEST_F(SearchDialogTest, KeysAndTypingEnterLettersLeftOfTheCaret) {
    strcpy((char*)gApp.searchString, "cba");
    EXPECT_EQ(Run([](HWND dialog) {
                  HWND edit = GetDlgItem(dialog, kSearchEditId);
                  // The keyboard lies below the edit, in the middle of the dialog.
                  RECT editRect;
                  GetWindowRect(edit, &editRect);
                  MapWindowPoints(nullptr, dialog, (POINT*)&editRect, 2);
                  POINT origin = KeyboardOrigin(dialog);
                  EXPECT_GT(origin.y, editRect.bottom);
                  RECT client;
                  GetClientRect(dialog, &client);
                  EXPECT_NEAR(origin.x, (client.right - kKeyboardWidthPx) / 2, 1);

                  // A click at the centre of every key enters that key.
                  for (int key = 1; key <= 27; key++) {
                      ClearEdit(dialog);
                      ClickKeyNumber(dialog, key);
                      wchar_t wanted = (wchar_t)(kAlef + (kKeyboardTable[key - 1] - 'a'));
                      EXPECT_EQ(EditText(dialog), std::wstring(1, wanted)) << "key " << key;
                  }
                  ClearEdit(dialog);
                  ClickKey(dialog, 3, 4);
                  EXPECT_EQ(EditText(dialog), L" ");
                  ClickKey(dialog, 3, 0);  // beside the space bar: nothing
                  EXPECT_EQ(EditText(dialog), L" ");
                  // A second quick tap on a key arrives as a double click.
                  ClearEdit(dialog);
                  ClickKey(dialog, 2, 7);
                  ClickKey(dialog, 2, 7, WM_LBUTTONDBLCLK);
                  EXPECT_EQ(EditText(dialog), L"\x05E4\x05E4");

                  // Keys 1, 2, 3: gimel, bet, alef from the left, the caret at the left end.
                  ClearEdit(dialog);
                  ClickKeyNumber(dialog, 1);
                  ClickKeyNumber(dialog, 2);
                  ClickKeyNumber(dialog, 3);
                  EXPECT_EQ(EditText(dialog), L"\x05D2\x05D1\x05D0");
                  EXPECT_EQ(SelectionStart(dialog), 0u);
                  EXPECT_LT(StoredOrderCharPosition(edit, 0).x, StoredOrderCharPosition(edit, 2).x);

                  // The physical keyboard does the same; Backspace takes the letter typed last.
                  ClearEdit(dialog);
                  SendMessageW(edit, WM_CHAR, kAlef, 0);
                  SendMessageW(edit, WM_CHAR, kAlef + 1, 0);
                  SendMessageW(edit, WM_CHAR, kAlef + 2, 0);
                  EXPECT_EQ(EditText(dialog), L"\x05D2\x05D1\x05D0");
                  SendMessageW(edit, WM_CHAR, VK_BACK, 0);
                  EXPECT_EQ(EditText(dialog), L"\x05D1\x05D0");
                  // Pasted text is in reading order and goes in as typed, line
                  // breaks as spaces; a clipboard without text changes nothing.
                  ClearEdit(dialog);
                  ASSERT_TRUE(PutClipboard({{CF_UNICODETEXT, WideBytes(L"\x05D0\x05D1\r\n\x05D2")}}));
                  SendMessageW(edit, WM_CHAR, 'V' - '@', 0);  // Ctrl+V
                  EXPECT_EQ(EditText(dialog), L"\x05D2  \x05D1\x05D0");
                  ASSERT_TRUE(PutClipboard({}));
                  SendMessageW(edit, WM_PASTE, 0, 0);
                  EXPECT_EQ(EditText(dialog), L"\x05D2  \x05D1\x05D0");
                  // A full edit takes no more, and the caret does not wander.
                  SetDlgItemTextW(dialog, kSearchEditId, std::wstring(33, kAlef).c_str());
                  SendMessageW(edit, EM_SETSEL, 5, 5);
                  ClickKeyNumber(dialog, 2);
                  EXPECT_EQ(EditText(dialog), std::wstring(33, kAlef));
                  EXPECT_EQ(SelectionStart(dialog), 5u);

                  // OK with an empty edit empties the search and closes without one.
                  ClearEdit(dialog);
                  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
              }),
              IDOK);
    EXPECT_EQ(gApp.searchString[0], 0);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SearchDialogTest, OkSearchesForWhatIsShownAndStaysOpenWhenNothingIsFound) {
    const char stored[] = "(~e)[}]";  // "~" is the book's "{"
    memcpy(gApp.searchString, stored, sizeof stored);
    gApp.flags |= kFlagReverse;
    EXPECT_EQ(Run([this, &stored](HWND dialog) {
                  // The stored search shows in the current letter base, as
                  // stored even in Reverse mode, so that OK keeps it as it is.
                  EXPECT_EQ(EditText(dialog), L"({\x05D4)[}]");
                  gApp.flags &= ~kFlagReverse;
                  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                  EXPECT_EQ(memcmp(gApp.searchString, stored, sizeof stored), 0);
                  ASSERT_EQ(boxes.shown.size(), 1u);
                  EXPECT_EQ(boxes.shown[0].text, L"Not Found!");
                  EXPECT_TRUE(IsWindowVisible(dialog));
                  DWORD start = 1, end = 0;
                  SendDlgItemMessageW(dialog, kSearchEditId, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
                  EXPECT_EQ(start, 0u);
                  EXPECT_EQ(end, 7u);
                  // With base 97 tav and the brace both show as "{": each keeps its code.
                  gApp.font.letterBase = 97;
                  memcpy(gApp.searchString, "{~", 3);
                  SetDlgItemTextW(dialog, kSearchEditId, L"{{");
                  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                  EXPECT_EQ(memcmp(gApp.searchString, "{~", 3), 0);
                  // Section 1's "{" kaf lamed, pasted in reading order as Copy gives it.
                  gApp.font.letterBase = 0x5D0;
                  ClearEdit(dialog);
                  ASSERT_TRUE(PutClipboard({{CF_UNICODETEXT, WideBytes(L"\x05DC\x05DB}")}}));
                  SendDlgItemMessageW(dialog, kSearchEditId, WM_PASTE, 0, 0);
                  EXPECT_EQ(EditText(dialog), L"{\x05DB\x05DC");
                  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
              }),
              IDOK);
    EXPECT_STREQ((const char*)gApp.searchString, "~lm");
    EXPECT_EQ(gApp.lesson, 1);
    EXPECT_EQ(gApp.mainPane->markEnd - gApp.mainPane->markStart, 3);
}

TEST_F(SearchDialogTest, LatinKeysTypeHebrewAndFindAllTakesTheOptions) {
    gApp.searchOptions = kSearchSkipVavYod | 0x100;  // and a bit of a later version
    EXPECT_EQ(Run([this](HWND dialog) {
                  HWND edit = GetDlgItem(dialog, kSearchEditId);
                  EXPECT_EQ(IsDlgButtonChecked(dialog, kVavYodCheckId), (UINT)BST_CHECKED);
                  EXPECT_EQ(IsDlgButtonChecked(dialog, kFinalLettersCheckId), (UINT)BST_UNCHECKED);
                  // An English layout (Wine's here) types the Israeli layout's
                  // letters; "?" and capitals stay as they are.
                  ASSERT_FALSE(InputLanguageIsHebrew());
                  ClearEdit(dialog);
                  for (wchar_t key : {L't', L'c', L'?', L',', L'.', L';', L'T'}) SendMessageW(edit, WM_CHAR, key, 0);
                  EXPECT_EQ(EditText(dialog), L"T\x05E3\x05E5\x05EA?\x05D1\x05D0");
                  gApp.font.letterBase = kLetterBaseCodePage;  // in the letter base the edit shows
                  ClearEdit(dialog);
                  SendMessageW(edit, WM_CHAR, L't', 0);
                  EXPECT_EQ(EditText(dialog), L"\x00E0");
                  gApp.font.letterBase = kLetterBaseUnicode;
                  // Find All with nothing to find says so and stays.
                  SetDlgItemTextW(dialog, kSearchEditId, L"ZZZZ");
                  SendMessageW(GetDlgItem(dialog, kFindAllButtonId), BM_CLICK, 0, 0);
                  ASSERT_EQ(boxes.shown.size(), 1u);
                  EXPECT_EQ(boxes.shown[0].text, L"Not Found!");
                  EXPECT_TRUE(IsWindowVisible(dialog));
                  // With matches it closes, the options taken with the text.
                  SetDlgItemTextW(dialog, kSearchEditId, L"NOTE");
                  SendMessageW(GetDlgItem(dialog, kFinalLettersCheckId), BM_CLICK, 0, 0);
                  SendMessageW(GetDlgItem(dialog, kFindAllButtonId), BM_CLICK, 0, 0);
              }),
              kSearchDialogFoundAll);
    EXPECT_STREQ((const char*)gApp.searchString, "NOTE");
    EXPECT_EQ(gApp.searchOptions, kSearchFinalLetters | kSearchSkipVavYod | 0x100);
    EXPECT_EQ(FindAllRowCount(), 2);  // for the window the caller opens
    ReleaseFindAll();
}

// Opened from the panes' menu for words of the text: they fill the edit, and
// only OK would make them the search.
TEST_F(SearchDialogTest, OpenedForWordsOfTheTextShowsThemAndCancelKeepsTheSearch) {
    strcpy((char*)gApp.searchString, "cba");
    const uint8_t words[] = "dh w";
    SearchStart start = {words, 4};
    EXPECT_EQ(Run([](HWND dialog) {
                  EXPECT_EQ(EditText(dialog), L"\x05D3\x05D7 \x05E6");
                  SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
              }, &start),
              IDCANCEL);
    EXPECT_STREQ((const char*)gApp.searchString, "cba");
}
