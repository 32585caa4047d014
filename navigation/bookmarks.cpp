#include "navigation/bookmarks.h"

#include <string.h>

#include "app/app_state.h"
#include "platform/out_of_memory.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace {

const wchar_t kBookmarksValue[] = L"Bookmarks";
const UINT kBookmarkCommand = 123;
const UINT kReverseCommand = 122;
const uint32_t kMaxBookmarks = 0xFFFE;  // the count is 16 bits and one entry is the closing 0
const uint16_t kDontAskBeforeRemoving = 0x01;
const wchar_t kRemoveQuestion[] = L"Remove Bookmark?\n\nCancel - Don't ask again";
const wchar_t kBookmarkCaption[] = L"Bookmark";

uint16_t WordAt(const uint8_t* bytes, uint32_t index) {
    return (uint16_t)(bytes[2 * index] | bytes[2 * index + 1] << 8);
}

// Builds a clean list from stored words; null when memory runs out.
uint16_t* CleanList(const uint8_t* bytes, uint32_t wordCount, uint16_t* count) {
    uint16_t* list = static_cast<uint16_t*>(AllocOrAbort(((size_t)wordCount + 1) * sizeof(uint16_t)));
    if (!list) return nullptr;
    // One bit per section number; on the stack, so that it cannot fail and
    // leave the list empty, to be saved over the stored one at exit.
    uint8_t seen[0x10000 / 8] = {};
    uint32_t kept = 0;
    for (uint32_t i = 0; i < wordCount && kept < kMaxBookmarks; i++) {
        uint16_t section = WordAt(bytes, i);
        if (section == 0 || (seen[section >> 3] & (1 << (section & 7)))) continue;
        seen[section >> 3] |= (uint8_t)(1 << (section & 7));
        list[kept++] = section;
    }
    list[kept] = 0;
    *count = (uint16_t)kept;
    return list;
}

}  // namespace

void InitBookmarks() {
    gApp.bookmarks = nullptr;
    gApp.bookmarkCount = 0;
    LoadBookmarks();
}

void LoadBookmarks() {
    uint32_t byteCount = 0;
    uint8_t* stored = static_cast<uint8_t*>(ReadPlaceBlob(kBookmarksValue, nullptr, &byteCount));
    FreeBookmarks();
    if (!stored) return;
    uint16_t count = 0;
    gApp.bookmarks = CleanList(stored, byteCount / 2, &count);
    gApp.bookmarkCount = gApp.bookmarks ? count : 0;
    PlatformFree(stored);
}

void SaveBookmarks() {
    static const uint16_t kEmpty = 0;
    if (!gApp.bookmarks) {
        WritePlaceBlob(kBookmarksValue, &kEmpty, sizeof(kEmpty));
        return;
    }
    // Stored little-endian, word by word, whatever the machine's order.
    uint32_t byteCount = ((uint32_t)gApp.bookmarkCount + 1) * 2;
    uint8_t* bytes = static_cast<uint8_t*>(PlatformAlloc(byteCount));
    if (!bytes) return;
    for (uint32_t i = 0; i <= gApp.bookmarkCount; i++) {
        uint16_t section = i < gApp.bookmarkCount ? gApp.bookmarks[i] : 0;
        bytes[2 * i] = (uint8_t)(section & 0xFF);
        bytes[2 * i + 1] = (uint8_t)(section >> 8);
    }
    WritePlaceBlob(kBookmarksValue, bytes, byteCount);
    PlatformFree(bytes);
}

void FreeBookmarks() {
    PlatformFree(gApp.bookmarks);
    gApp.bookmarks = nullptr;
    gApp.bookmarkCount = 0;
}

int IsBookmarked() {
    if (!gApp.bookmarks) return 0;
    for (const uint16_t* entry = gApp.bookmarks; *entry; entry++)
        if (*entry == gApp.lesson) return 1;
    return 0;
}

void AddBookmark() {
    if (IsBookmarked() || gApp.bookmarkCount >= kMaxBookmarks) return;
    uint32_t count = gApp.bookmarkCount;
    uint16_t* list = static_cast<uint16_t*>(PlatformAlloc(sizeof(uint16_t) * (count + 2)));
    if (!list) return;
    if (gApp.bookmarks) memcpy(list, gApp.bookmarks, sizeof(uint16_t) * count);
    PlatformFree(gApp.bookmarks);
    list[count] = gApp.lesson;
    list[count + 1] = 0;
    gApp.bookmarks = list;
    gApp.bookmarkCount = (uint16_t)(count + 1);
}

void RemoveBookmark() {
    if (!gApp.bookmarks) return;
    uint16_t* kept = gApp.bookmarks;
    for (const uint16_t* entry = gApp.bookmarks; *entry; entry++) {
        if (*entry == gApp.lesson) gApp.bookmarkCount--;
        else *kept++ = *entry;
    }
    *kept = 0;
}

void ToggleBookmark(int isBookmarked) {
    if (!isBookmarked) {
        AddBookmark();
        return;
    }
    if (gApp.bookmarkFlags & kDontAskBeforeRemoving) {
        RemoveBookmark();
        return;
    }
    int answer = ShowMessageBox(gApp.mainWindow, kRemoveQuestion, kBookmarkCaption, MB_YESNOCANCEL);
    if (answer == IDNO) return;
    // Cancel is the button the question names "Don't ask again"; it removes too.
    if (answer == IDCANCEL) gApp.bookmarkFlags |= kDontAskBeforeRemoving;
    RemoveBookmark();
}

int SetMenuCheck(HMENU menu, int mode, UINT command, int wanted) {
    if (mode == kMenuCheckToggle) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_STATE;
        BOOL known = menu && GetMenuItemInfoW(menu, command, FALSE, &item);
        wanted = !(known && (item.fState & MFS_CHECKED));
    }
    if (menu) CheckMenuItem(menu, command, MF_BYCOMMAND | (wanted ? MF_CHECKED : MF_UNCHECKED));
    return wanted ? 1 : 0;
}

void UpdateBookmarkCheck(HWND, int mode) {
    SetMenuCheck(MenuOfBarButton(kGoButtonCommand), mode, kBookmarkCommand, IsBookmarked());
}

void UpdateReverseCheck(HWND, int mode) {
    // Toggling flips the bit itself rather than the mark, so the two stay
    // equal even when there is no menu to read the mark from.
    int reversed = (gApp.flags & kFlagReverse) != 0;
    int wanted = mode == kMenuCheckToggle ? !reversed : reversed;
    int checked = SetMenuCheck(MenuOfBarButton(kGoButtonCommand), kMenuCheckSet, kReverseCommand, wanted);
    if (checked) gApp.flags |= kFlagReverse;
    else gApp.flags &= ~kFlagReverse;
}
