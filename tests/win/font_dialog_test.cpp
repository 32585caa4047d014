// The Choose Font dialog run from the reader's own template: what it shows
// for a stored font, what OK and Cancel leave in the FontSpec, the Hebrew
// face that checks "5D0", the layout, the preview and the family list.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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
    INT_PTR result = RunDialogTemplate(GetModuleHandleW(nullptr), IDD_CHOOSE_FONT, nullptr, StepsDialogProc,
                                       (LPARAM)spec);
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

std::wstring SelectedText(HWND dialog, int listId) {
    HWND list = GetDlgItem(dialog, listId);
    LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return L"<none>";
    wchar_t text[64] = L"";
    SendMessageW(list, LB_GETTEXT, index, (LPARAM)text);
    return text;
}

std::wstring ItemText(HWND dialog, int listId, int index) {
    wchar_t text[64] = L"";
    SendMessageW(GetDlgItem(dialog, listId), LB_GETTEXT, index, (LPARAM)text);
    return text;
}

// Selects an item as a click would, with the notification the dialog acts on.
void Choose(HWND dialog, int listId, const wchar_t* text) {
    HWND list = GetDlgItem(dialog, listId);
    LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
    ASSERT_NE(index, LB_ERR) << "no item " << std::string(text, text + wcslen(text));
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

// A face of the list whose family has no Hebrew character set.
std::wstring FaceWithoutHebrew() {
    for (const FontFamilyEntry* entry = gFontDialog.families.firstFamily; entry; entry = entry->next)
        if (entry->charSet != kHebrewCharSet) return entry->faceName;
    return L"";
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

TEST(FontDialog, StoredSizeIsSelectedWhenListedAndKeptOnOkWhenNot) {
    struct Case {
        int stored;
        const wchar_t* selected;
        const wchar_t* firstItem;
    };
    const Case cases[] = {
        {12, L"12", L"10"},
        {13, L"<none>", L"10"},
        {5, L"5", L"5"},        // listed before the offered sizes
        {100, L"<none>", L"10"},
    };
    for (const Case& c : cases) {
        FontSpec spec = Spec(kBookFace, c.stored, kLetterBaseUnicode);
        int items = 0;
        INT_PTR result = RunFontDialogWith(&spec, [&](HWND dialog) {
            EXPECT_EQ(SelectedText(dialog, IDC_FONT_SIZES), c.selected) << c.stored;
            EXPECT_EQ(ItemText(dialog, IDC_FONT_SIZES, 0), c.firstItem) << c.stored;
            items = (int)SendDlgItemMessageW(dialog, IDC_FONT_SIZES, LB_GETCOUNT, 0, 0);
            Click(dialog, IDOK);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(spec.size, c.stored);
        EXPECT_EQ(items, c.stored < 10 ? 15 : 14) << c.stored;
    }
    // A stored character height is listed as it is and comes back unchanged.
    EXPECT_EQ(ParseSizeText(L"-12"), -12);
    EXPECT_EQ(ParseSizeText(L"72"), 72);
}

TEST(FontDialog, AStoredBaseOfZeroBecomesUnicodeEvenWhenCancelled) {
    FontSpec spec = Spec(L"", 0, 0);
    INT_PTR result = RunFontDialogWith(&spec, [&](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, IDC_FONT_BASE_UNICODE));
        EXPECT_FALSE(Checked(dialog, IDC_FONT_BASE_CODE_PAGE));
        EXPECT_EQ(PreviewText(dialog), LettersDown(0x5D0));  // tav first, alef last
        Choose(dialog, IDC_FONT_SIZES, L"24");
        Click(dialog, IDC_FONT_BASE_CODE_PAGE);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(spec.letterBase, 0x5D0);
    EXPECT_EQ(spec.faceName[0], 0);  // Cancel leaves the face unchosen
    EXPECT_EQ(spec.size, 0);
}

TEST(FontDialog, AHebrewFaceChecks5D0AndOkStoresTheChoice) {
    FontSpec spec = Spec(L"", 14, kLetterBaseCodePage);
    std::wstring plainFace;
    INT_PTR result = RunFontDialogWith(&spec, [&](HWND dialog) {
        // Before a face is chosen, the list shows the one the panes draw with,
        // and its Hebrew family does not override the stored base.
        EXPECT_EQ(SelectedText(dialog, IDC_FONT_FACES), DefaultHebrewFaceName());
        EXPECT_TRUE(Checked(dialog, IDC_FONT_BASE_CODE_PAGE));
        EXPECT_EQ(PreviewText(dialog), LettersDown(0xE0));
        plainFace = FaceWithoutHebrew();
        ASSERT_FALSE(plainFace.empty());
        Choose(dialog, IDC_FONT_FACES, plainFace.c_str());
        EXPECT_TRUE(Checked(dialog, IDC_FONT_BASE_CODE_PAGE));  // not a Hebrew family: left alone
        EXPECT_FALSE(Checked(dialog, IDC_FONT_BASE_UNICODE));

        Choose(dialog, IDC_FONT_FACES, L"Frank Ruehl CLM");
        EXPECT_FALSE(Checked(dialog, IDC_FONT_BASE_CODE_PAGE));
        EXPECT_TRUE(Checked(dialog, IDC_FONT_BASE_UNICODE));
        EXPECT_EQ(PreviewText(dialog), LettersDown(0x5D0));
        LOGFONTW previewFont = {};
        GetObjectW((HFONT)SendDlgItemMessageW(dialog, IDC_FONT_PREVIEW, WM_GETFONT, 0, 0), sizeof previewFont,
                   &previewFont);
        EXPECT_STREQ(previewFont.lfFaceName, L"Frank Ruehl CLM");
        Choose(dialog, IDC_FONT_SIZES, L"20");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_STREQ(spec.faceName, L"Frank Ruehl CLM");
    EXPECT_EQ(spec.size, 20);
    EXPECT_EQ(spec.letterBase, 0x5D0);
}

TEST(FontDialog, OkWithoutChangesKeepsTheStoredFont) {
    // Base 97 has no button of its own: nothing is checked and OK keeps it.
    FontSpec spec = Spec(kBookFace, 18, kLetterBaseAscii);
    INT_PTR result = RunFontDialogWith(&spec, [&](HWND dialog) {
        EXPECT_EQ(SelectedText(dialog, IDC_FONT_FACES), kBookFace);
        EXPECT_FALSE(Checked(dialog, IDC_FONT_BASE_CODE_PAGE));
        EXPECT_FALSE(Checked(dialog, IDC_FONT_BASE_UNICODE));
        EXPECT_EQ(PreviewText(dialog), LettersDown('a'));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_STREQ(spec.faceName, kBookFace);
    EXPECT_EQ(spec.size, 18);
    EXPECT_EQ(spec.letterBase, kLetterBaseAscii);
}

TEST(FontDialog, PreviewShowsTheLettersAsStoredAndTheLayoutSharesTheAreaInThirds) {
    FontSpec spec = Spec(kBookFace, 20, kLetterBaseUnicode);
    RunFontDialogWith(&spec, [&](HWND dialog) {
        // The dialog's own size reaches the layout less the OK button's strip.
        RECT content;
        GetDialogClientRect(dialog, &content);
        RECT preview = ChildRect(dialog, IDC_FONT_PREVIEW);
        EXPECT_EQ(preview.bottom, content.bottom - 14);
        EXPECT_EQ(preview.right, content.right - 7);

        HWND previewEdit = GetDlgItem(dialog, IDC_FONT_PREVIEW);
        RECT client;
        GetClientRect(previewEdit, &client);
        Canvas drawn(client.right, client.bottom);
        SendMessageW(previewEdit, WM_PRINTCLIENT, (WPARAM)drawn.dc, PRF_CLIENT);
        Canvas expected(client.right, client.bottom);
        FillRect(expected.dc, &client, GetSysColorBrush(COLOR_WINDOW));
        SelectObject(expected.dc, (HFONT)SendMessageW(previewEdit, WM_GETFONT, 0, 0));
        SetBkMode(expected.dc, TRANSPARENT);
        POINT start = StoredOrderCharPosition(previewEdit, 0);
        std::wstring letters = LettersDown(0x5D0);
        ExtTextOutW(expected.dc, start.x, start.y, ETO_IGNORELANGUAGE, nullptr, letters.c_str(), 27, nullptr);
        int differing = 0;
        for (int y = 0; y < client.bottom; y++)
            for (int x = 0; x < client.right; x++) differing += drawn.At(x, y) != expected.At(x, y);
        EXPECT_EQ(differing, 0);
        EXPECT_LT(start.x, StoredOrderCharPosition(previewEdit, 26).x);  // tav on the left

        FontDialogProc(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(240, 268));
        ExpectRect(dialog, IDC_FONT_FACES, 7, 7, 143, 162);
        ExpectRect(dialog, IDC_FONT_SIZES, 157, 59, 76, 110);
        ExpectRect(dialog, IDC_FONT_PREVIEW, 7, 169, 226, 85);
        ExpectRect(dialog, IDC_FONT_BASE_CODE_PAGE, 157, 24, 76, 10);
        ExpectRect(dialog, IDC_FONT_BASE_UNICODE, 157, 41, 76, 10);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST(FontDialog, FamiliesAreListedOnceAndFreedWithTheDialog) {
    FontSpec spec = Spec(kBookFace, 12, kLetterBaseUnicode);
    RunFontDialogWith(&spec, [](HWND dialog) { Click(dialog, IDOK); });  // warm up the platform's font caches
    size_t heapBefore = HeapBytesInUse();
    for (int end : {IDOK, IDCANCEL}) {
        RunFontDialogWith(&spec, [&](HWND dialog) {
            int entries = 0, blocks = 0;
            for (const FontFamilyEntry* entry = gFontDialog.families.firstFamily; entry; entry = entry->next) {
                EXPECT_EQ(entry->blockStart, entries % kFamilyBlockEntries == 0 ? 1 : 0);
                blocks += entry->blockStart;
                entries++;
            }
            EXPECT_GT(entries, 10);
            EXPECT_EQ(blocks, (entries + kFamilyBlockEntries - 1) / kFamilyBlockEntries);
            // One entry per family, though the platform reports most of them several times.
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_FONT_FACES, LB_GETCOUNT, 0, 0), entries);
            EXPECT_EQ(FindFamily(&gFontDialog.families, kBookFace)->charSet, kHebrewCharSet);
            Choose(dialog, IDC_FONT_FACES, L"Miriam CLM");
            Choose(dialog, IDC_FONT_SIZES, L"28");
            SendMessageW(dialog, WM_COMMAND, end, 0);
        });
        EXPECT_EQ(gFontDialog.families.firstFamily, nullptr);
        EXPECT_EQ(gFontDialog.previewFont, nullptr);
    }
    EXPECT_EQ(HeapBytesInUse(), heapBefore);
}
