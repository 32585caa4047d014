#include "platform/fonts.h"

#include <wchar.h>

#include "platform/dpi.h"

namespace {

const wchar_t* const kPreferredFaces[] = {
    L"David CLM", L"Frank Ruehl CLM", L"Nachlieli CLM", L"Miriam CLM",
    L"Times New Roman", L"Arial", L"Tahoma",
};
const int kPreferredCount = sizeof kPreferredFaces / sizeof kPreferredFaces[0];

struct FaceSearch {
    int bestRank;  // index into kPreferredFaces, or kPreferredCount for any other face
    wchar_t face[LF_FACESIZE];
};

int CALLBACK NoteHebrewFace(const LOGFONTW* logFont, const TEXTMETRICW*, DWORD, LPARAM param) {
    FaceSearch* search = (FaceSearch*)param;
    if (logFont->lfFaceName[0] == L'@') return 1;  // vertical variants
    int rank = kPreferredCount;
    for (int i = 0; i < kPreferredCount; i++) {
        if (wcscmp(logFont->lfFaceName, kPreferredFaces[i]) == 0) rank = i;
    }
    if (rank < search->bestRank || !search->face[0]) {
        search->bestRank = rank;
        wcsncpy(search->face, logFont->lfFaceName, LF_FACESIZE - 1);
        search->face[LF_FACESIZE - 1] = 0;
    }
    return 1;
}

}  // namespace

const wchar_t* DefaultHebrewFaceName() {
    static bool searched = false;
    static FaceSearch search;
    if (searched) return search.face;
    searched = true;
    search.bestRank = kPreferredCount;
    HDC screen = GetDC(nullptr);
    if (!screen) return search.face;
    LOGFONTW query = {};
    query.lfCharSet = HEBREW_CHARSET;
    EnumFontFamiliesExW(screen, &query, NoteHebrewFace, (LPARAM)&search, 0);
    ReleaseDC(nullptr, screen);
    return search.face;
}

HFONT CreateControlFontForDpi(int dpi) {
    LOGFONTW logFont = {};
    if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont)) return nullptr;
    logFont.lfHeight = MulDiv(logFont.lfHeight, UsableDpi(dpi), SystemDpi());
    return CreateFontIndirectW(&logFont);
}
