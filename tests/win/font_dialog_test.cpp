// The Choose Font dialog run from the reader's own template: what it shows
// for a stored font, what OK and Cancel leave in the FontSpec, the Hebrew
// face that checks "5D0", the layout, the preview and the family list.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "fontdialog/font_dialog.h"
#include "platform/dialog_shell.h"
#include "platform/fonts.h"
#include "platform/stored_order_edit.h"
#include "resources/resource_ids.h"
#include "tests/win/pane_test_support.h"

namespace {

const UINT kRunSteps = WM_APP + 7;
std::function<void(HWND)> gSteps;

// The real procedure, with the test's steps run once the dialog is up.
INT_PTR CALLBACK StepsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunSteps) {
        gSteps(dialog);
        return TRUE;
    }
    INT_PTR result = FontDialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG) PostMessageW(dialog, kRunSteps, 0, 0);
    return result;
}

INT_PTR RunFontDialogWith(FontSpec* spec, std::function<void(HWND)> steps) {
    gSteps = std::move(steps);
    INT_PTR result =
        RunDialogTemplate(GetModuleHandleW(nullptr), IDD_CHOOSE_FONT, nullptr, StepsDialogProc, (LPARAM)spec);
    gSteps = nullptr;
    return result;
}

FontSpec Spec(const wchar_t* face, int size, int base) {
    FontSpec spec = {};
    wcsncpy(spec.faceName, face, kFaceNameChars - 1);
    spec.size = size;
    spec.letterBase = base;
    return spec;
}

std::wstring ItemText(HWND dialog, int listId, LRESULT index) {
    wchar_t text[64] = L"<none>";
    if (index != LB_ERR) SendDlgItemMessageW(dialog, listId, LB_GETTEXT, index, (LPARAM)text);
    return text;
}

std::wstring SelectedText(HWND dialog, int listId) {
    return ItemText(dialog, listId, SendDlgItemMessageW(dialog, listId, LB_GETCURSEL, 0, 0));
}

// Selects an item as a click would, with the notification the dialog acts on.
void Choose(HWND dialog, int listId, const wchar_t* text) {
    HWND list = GetDlgItem(dialog, listId);
    LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
    ASSERT_NE(index, LB_ERR);
    SendMessageW(list, LB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), (LPARAM)list);
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

std::wstring PreviewText(HWND dialog) {
    wchar_t text[64] = L"";
    GetDlgItemTextW(dialog, IDC_FONT_PREVIEW, text, 64);
    return text;
}

std::wstring LettersDown(int base) {
    std::wstring letters;
    for (int i = 26; i >= 0; i--) letters.push_back((wchar_t)(base + i));
    return letters;
}

RECT ChildRect(HWND dialog, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, (POINT*)&rect, 2);
    return rect;
}

void ExpectRect(HWND dialog, int id, int x, int y, int widthPx, int heightPx) {
    RECT rect = ChildRect(dialog, id);
    EXPECT_EQ(rect.left, x) << id;
    EXPECT_EQ(rect.top, y) << id;
    EXPECT_EQ(rect.right - rect.left, widthPx) << id;
    EXPECT_EQ(rect.bottom - rect.top, heightPx) << id;
}

}  // namespace

TEST(FontDialog, OkWithoutChangesKeepsTheStoredFontWhateverTheListsCanShow) {
    struct Case {
        int size;
        const wchar_t* selectedSize;
        const wchar_t* firstSize;
        int sizeAfterOk;
    };
    // Sizes beyond the one range are shown, and kept, within it.
    const Case cases[] = {{12, L"12", L"10", 12},
                          {13, L"<none>", L"10", 13},
                          {5, L"5", L"5", 5},
                          {100, L"<none>", L"10", 100},
                          {INT32_MIN, L"<none>", L"10", 144},
                          // A letter height is its size; 0 is the first start's.
                          {-20, L"20", L"10", 20},
                          {0, L"20", L"10", 20}};
    for (const Case& c : cases) {
        // Base 97 has no button: nothing is checked, and a Hebrew face leaves it be.
        FontSpec spec = Spec(kBookFace, c.size, kLetterBaseAscii);
        INT_PTR result = RunFontDialogWith(&spec, [&](HWND dialog) {
            EXPECT_EQ(SelectedText(dialog, IDC_FONT_SIZES), c.selectedSize) << c.size;
            EXPECT_EQ(ItemText(dialog, IDC_FONT_SIZES, 0), c.firstSize) << c.size;
            EXPECT_EQ(SelectedText(dialog, IDC_FONT_FACES), kBookFace);
            EXPECT_FALSE(Checked(dialog, IDC_FONT_BASE_CODE_PAGE) || Checked(dialog, IDC_FONT_BASE_UNICODE));
            EXPECT_EQ(PreviewText(dialog), LettersDown('a'));
            Click(dialog, IDOK);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(spec.size, c.sizeAfterOk);
        EXPECT_STREQ(spec.faceName, kBookFace);
        EXPECT_EQ(spec.letterBase, kLetterBaseAscii);
    }
    // A character height typed into the list's text is still read as one.
    EXPECT_EQ(ParseSizeText(L"-12"), -12);
}

TEST(FontDialog, AStoredBaseOfZeroBecomesUnicodeEvenWhenCancelled) {
    FontSpec spec = Spec(L"", 0, 0);
    INT_PTR result = RunFontDialogWith(&spec, [&](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, IDC_FONT_BASE_UNICODE));
        EXPECT_EQ(PreviewText(dialog), LettersDown(0x5D0));  // tav first, alef last
        Choose(dialog, IDC_FONT_SIZES, L"24");
        Click(dialog, IDC_FONT_BASE_CODE_PAGE);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(spec.letterBase, 0x5D0);
    EXPECT_EQ(spec.faceName[0], 0);
    EXPECT_EQ(spec.size, 0);
}

TEST(FontDialog, AHebrewFaceChecks5D0AndOkStoresTheChoice) {
    FontSpec spec = Spec(L"", 14, kLetterBaseCodePage);
    INT_PTR result = RunFontDialogWith(&spec, [&](HWND dialog) {
        // Before a face is chosen, the list shows the one the panes draw with.
        EXPECT_EQ(SelectedText(dialog, IDC_FONT_FACES), DefaultHebrewFaceName());
        EXPECT_TRUE(Checked(dialog, IDC_FONT_BASE_CODE_PAGE));
        EXPECT_EQ(PreviewText(dialog), LettersDown(0xE0));
        const FontFamilyEntry* plain = gFontDialog.families.firstFamily;
        while (plain && plain->charSet == kHebrewCharSet) plain = plain->next;
        ASSERT_NE(plain, nullptr);
        Choose(dialog, IDC_FONT_FACES, plain->faceName);
        EXPECT_TRUE(Checked(dialog, IDC_FONT_BASE_CODE_PAGE));  // not a Hebrew family: left alone

        Choose(dialog, IDC_FONT_FACES, L"Frank Ruehl CLM");
        EXPECT_FALSE(Checked(dialog, IDC_FONT_BASE_CODE_PAGE));
        EXPECT_TRUE(Checked(dialog, IDC_FONT_BASE_UNICODE));
        EXPECT_EQ(PreviewText(dialog), LettersDown(0x5D0));
        Choose(dialog, IDC_FONT_SIZES, L"20");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_STREQ(spec.faceName, L"Frank Ruehl CLM");
    EXPECT_EQ(spec.size, 20);
    EXPECT_EQ(spec.letterBase, 0x5D0);
}

TEST(FontDialog, PreviewDrawsTheLettersAsStoredAndTheLayoutSharesTheAreaInThirds) {
    FontSpec spec = Spec(kBookFace, 20, kLetterBaseUnicode);
    RunFontDialogWith(&spec, [&](HWND dialog) {
        // In the chosen face from the start, drawn exactly as stored: tav at the left.
        HWND preview = GetDlgItem(dialog, IDC_FONT_PREVIEW);
        RECT client;
        GetClientRect(preview, &client);
        Canvas drawn(client.right, client.bottom);
        SendMessageW(preview, WM_PRINTCLIENT, (WPARAM)drawn.dc, PRF_CLIENT);
        Canvas expected(client.right, client.bottom);
        FillRect(expected.dc, &client, GetSysColorBrush(COLOR_WINDOW));
        HFONT font = (HFONT)SendMessageW(preview, WM_GETFONT, 0, 0);
        LOGFONTW logFont = {};
        GetObjectW(font, sizeof logFont, &logFont);
        EXPECT_STREQ(logFont.lfFaceName, kBookFace);
        SelectObject(expected.dc, font);
        SetBkMode(expected.dc, TRANSPARENT);
        POINT start = StoredOrderCharPosition(preview, 0);
        ExtTextOutW(expected.dc, start.x, start.y, ETO_IGNORELANGUAGE, nullptr, LettersDown(0x5D0).c_str(), 27,
                    nullptr);
        for (int y = 0; y < client.bottom; y++)
            for (int x = 0; x < client.right; x++) ASSERT_EQ(drawn.At(x, y), expected.At(x, y)) << x << "," << y;

        // The layout sees the client area less the OK button's strip.
        RECT content;
        GetDialogClientRect(dialog, &content);
        EXPECT_EQ(ChildRect(dialog, IDC_FONT_PREVIEW).bottom, content.bottom - 14);
        FontDialogProc(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(240, 268));
        ExpectRect(dialog, IDC_FONT_FACES, 7, 7, 143, 162);
        ExpectRect(dialog, IDC_FONT_SIZES, 157, 59, 76, 110);
        ExpectRect(dialog, IDC_FONT_PREVIEW, 7, 169, 226, 85);
        ExpectRect(dialog, IDC_FONT_BASE_CODE_PAGE, 157, 24, 76, 10);
        ExpectRect(dialog, IDC_FONT_BASE_UNICODE, 157, 41, 76, 10);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST(FontDialog, FamiliesAreListedOnceEnumeratedOnceAndFreedAtTheEnd) {
    FontSpec spec = Spec(kBookFace, 12, kLetterBaseUnicode);
    RunFontDialogWith(&spec, [](HWND dialog) { Click(dialog, IDOK); });  // warms the platform's font caches
    ReleaseFontFamilies();
    size_t heapBefore = HeapBytesInUse();
    RunFontDialogWith(&spec, [](HWND dialog) { Click(dialog, IDOK); });
    const FontFamilyEntry* enumerated = gFontDialog.families.firstFamily;
    ASSERT_NE(enumerated, nullptr);
    for (int end : {IDOK, IDCANCEL}) {
        RunFontDialogWith(&spec, [&](HWND dialog) {
            int entries = 0;
            for (const FontFamilyEntry* entry = gFontDialog.families.firstFamily; entry; entry = entry->next) entries++;
            // The platform reports most families once per character set.
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_FONT_FACES, LB_GETCOUNT, 0, 0), entries);
            EXPECT_GT(entries, 10);
            Choose(dialog, IDC_FONT_FACES, L"Miriam CLM");  // a preview font to delete
            SendMessageW(dialog, WM_COMMAND, end, 0);
        });
        EXPECT_EQ(gFontDialog.families.firstFamily, enumerated);  // kept, not enumerated again
        EXPECT_EQ(gFontDialog.previewFont, nullptr);
    }
    ReleaseFontFamilies();
    EXPECT_EQ(gFontDialog.families.firstFamily, nullptr);
    EXPECT_EQ(HeapBytesInUse(), heapBefore);
}
