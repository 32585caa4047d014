// Letter codes to display characters, and the small measuring and drawing
// operations shared by the layout, the painter and the tools.
//
// Book text is stored in drawing order, so every string is drawn left to
// right exactly as converted: ExtTextOutW with ETO_IGNORELANGUAGE keeps the
// platform from reordering Hebrew.
#include <string.h>

#include "app/app_state.h"
#include "content/section_heading.h"
#include "panes/text_pane.h"
#include "platform/mirrored_text.h"
#include "platform/services.h"

DisplayTextCache gDisplayTextCache;

namespace {

// Partial extents of the last MeasureFit, grown like the display text cache.
struct ExtentBuffer {
    int* extentsPx;
    int capacity;
};
ExtentBuffer gExtentBuffer;

// Room for `length` characters and a terminator: the cache's buffer when it is
// large enough, else a new one (which the cache then holds).
wchar_t* DisplayBuffer(DisplayTextCache* cache, int length) {
    if (cache && cache->buffer && cache->capacity >= (uint32_t)length) return cache->buffer;
    wchar_t* buffer = (wchar_t*)PlatformAlloc(sizeof(wchar_t) * ((size_t)length + 1));
    if (cache) {
        PlatformFree(cache->buffer);
        cache->buffer = buffer;
        cache->capacity = buffer ? (uint32_t)length : 0;
    }
    return buffer;
}

int* ExtentSlots(int count) {
    if (gExtentBuffer.extentsPx && gExtentBuffer.capacity >= count) return gExtentBuffer.extentsPx;
    int* slots = (int*)PlatformAlloc(sizeof(int) * (size_t)count);
    if (!slots) return nullptr;
    PlatformFree(gExtentBuffer.extentsPx);
    gExtentBuffer.extentsPx = slots;
    gExtentBuffer.capacity = count;
    return slots;
}

}  // namespace

bool ReverseModeActive() {
    return gApp.font.letterBase != kLetterBaseAscii && (gApp.flags & kFlagReverse) != 0;
}

namespace {

// ToDisplayText that also gives the number of characters converted, which is
// less than `length` when the codes end first.
wchar_t* ConvertCodes(const uint8_t* codes, DisplayTextCache* cache, int length, int* convertedCount) {
    *convertedCount = 0;
    if (length < 0) length = 0;
    wchar_t* text = DisplayBuffer(cache, length);
    if (!text) return nullptr;
    int letterBase = gApp.font.letterBase;
    int converted = 0;
    for (; converted < length && codes[converted]; converted++)
        text[converted] = (wchar_t)CharacterOfCode(codes[converted], letterBase);
    text[converted] = 0;
    if (length > 0 && ReverseModeActive()) MirrorDisplayText(text, converted);
    *convertedCount = converted;
    return text;
}

}  // namespace

wchar_t* ToDisplayText(const uint8_t* codes, DisplayTextCache* cache, int length) {
    int converted;
    return ConvertCodes(codes, cache, length, &converted);
}

int MirrorDisplayText(wchar_t* text, int length) {
    MirrorText(text, length);
    return 0;
}

void MeasureFit(HDC dc, const uint8_t* codes, int* widthPx, int* count) {
    int offered = *count;
    int limitPx = *widthPx;
    *count = 0;
    *widthPx = 0;
    if (offered <= 0 || limitPx <= 0) return;

    // Measuring always sees the characters in stored order.
    uint32_t savedFlags = gApp.flags;
    gApp.flags &= ~kFlagReverse;
    wchar_t* text = ConvertCodes(codes, &gDisplayTextCache, offered, &offered);
    gApp.flags = savedFlags;
    // Only characters that are there: a count past the codes' NUL must not
    // measure, and report, what lies beyond it.
    if (!text || offered == 0) return;

    // One call gives both the fit and, through the partial extents, its width.
    int* extentsPx = ExtentSlots(offered);
    int fit = 0;
    SIZE size = {0, 0};
    if (!GetTextExtentExPointW(dc, text, offered, limitPx, &fit, extentsPx, &size)) return;
    if (fit < 0) fit = 0;
    if (fit > offered) fit = offered;
    *count = fit;
    if (fit == 0) return;
    *widthPx = extentsPx ? extentsPx[fit - 1] : TextWidthPx(dc, text, fit, nullptr);
}

const int* DrawnCharacterEdges(HDC dc, const uint8_t* codes, int count, int* drawnCount) {
    *drawnCount = 0;
    if (count <= 0) return nullptr;
    int converted = 0;
    wchar_t* text = ConvertCodes(codes, &gDisplayTextCache, count, &converted);
    int* edgesPx = text && converted ? ExtentSlots(converted) : nullptr;
    SIZE size = {0, 0};
    if (!edgesPx || !GetTextExtentExPointW(dc, text, converted, 0, nullptr, edgesPx, &size)) return nullptr;
    *drawnCount = converted;
    return edgesPx;
}

int TextWidthPx(HDC dc, const wchar_t* text, int count, int* heightPx) {
    SIZE size = {0, 0};
    if (count <= 0 || !GetTextExtentPoint32W(dc, text, count, &size)) size.cx = size.cy = 0;
    if (heightPx) *heightPx = size.cy;
    return size.cx;
}

void DrawTextCell(HDC dc, const uint8_t* codes, int count, int x, int y, int widthPx, int heightPx) {
    if (count <= 0) return;
    int length;
    wchar_t* text = ConvertCodes(codes, &gDisplayTextCache, count, &length);
    if (!text) return;
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, length, &size);
    RECT cell = {x, y, x + widthPx, y + heightPx};
    // Centred like a single-line cell; callers pass the measured width, so the
    // text lands exactly on x.
    int textX = x + (widthPx - size.cx) / 2;
    int textY = y + (heightPx - size.cy) / 2;
    ExtTextOutW(dc, textX, textY, ETO_CLIPPED | ETO_IGNORELANGUAGE, &cell, text, (UINT)length, nullptr);
}

void DrawColouredCell(HDC dc, const uint8_t* codes, int count, int x, int y, int widthPx, int heightPx,
                      COLORREF textColour, COLORREF backColour) {
    int savedMode = SetBkMode(dc, OPAQUE);
    COLORREF savedText = SetTextColor(dc, textColour);
    COLORREF savedBack = SetBkColor(dc, backColour);
    DrawTextCell(dc, codes, count, x, y, widthPx, heightPx);
    SetBkColor(dc, savedBack);
    SetTextColor(dc, savedText);
    SetBkMode(dc, savedMode);
}

namespace {

const wchar_t kFirstUnicodeLetter = (wchar_t)kLetterBaseUnicode;
const wchar_t kLastUnicodeLetter = kFirstUnicodeLetter + (kLastLetterCode - kFirstLetterCode);

bool HasTitles(const uint8_t* sectionText) {
    TitleLine title, subtitle;
    FindSectionTitles(sectionText, &title, &subtitle);
    return title.length || subtitle.length;
}

}  // namespace

int ShownSectionHeading(const uint8_t* sectionText, int section, wchar_t* shown, int shownChars) {
    int length = SectionHeading(sectionText, section, shown, shownChars);
    if (!HasTitles(sectionText)) return length;
    if (!ReverseModeActive()) MirrorText(shown, length);  // reading order back to drawing order
    for (int i = 0; i < length; i++) {
        if (shown[i] < kFirstUnicodeLetter || shown[i] > kLastUnicodeLetter) continue;
        uint8_t code = (uint8_t)(kFirstLetterCode + (shown[i] - kFirstUnicodeLetter));
        shown[i] = (wchar_t)CharacterOfCode(code, gApp.font.letterBase);
    }
    return length;
}

int FittedSectionHeading(HDC dc, const uint8_t* sectionText, int section, int widthPx, wchar_t* shown,
                         int shownChars) {
    int length = ShownSectionHeading(sectionText, section, shown, shownChars);
    if (!HasTitles(sectionText)) return length;
    // Each turn gives room for one character fewer, so the cut moves back by
    // at least a word.
    while (length > 1 && TextWidthPx(dc, shown, length, nullptr) > widthPx)
        length = ShownSectionHeading(sectionText, section, shown, length);
    return length;
}

void ReleaseTextBuffers() {
    PlatformFree(gDisplayTextCache.buffer);
    gDisplayTextCache.buffer = nullptr;
    gDisplayTextCache.capacity = 0;
    PlatformFree(gExtentBuffer.extentsPx);
    gExtentBuffer.extentsPx = nullptr;
    gExtentBuffer.capacity = 0;
}
