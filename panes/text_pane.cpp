// The text pane record: creation and destruction.
#include "panes/text_pane.h"

#include <string.h>
#include <wchar.h>

#include "panes/pane_watch.h"
#include "panes/theme.h"
#include "platform/dpi.h"
#include "platform/fonts.h"
#include "platform/services.h"

const PaneWatch* gPaneWatch = nullptr;

TextPane* CreateTextPane(HDC dc, const RECT* rect, const FontSpec* fontSpec, int initialLineCapacity) {
    if (!dc) return nullptr;
    TextPane* pane = (TextPane*)PlatformAlloc(sizeof(TextPane));
    if (!pane) return nullptr;
    memset(pane, 0, sizeof(*pane));
    pane->dc = dc;
    if (fontSpec) pane->fontSpec = *fontSpec;
    if (rect) {
        pane->left = rect->left;
        pane->top = rect->top;
        pane->width = rect->right - rect->left;
        pane->height = rect->bottom - rect->top;
    }
    // The line count is 16 bits, and the array holds one more record for the
    // terminator; a larger request is clamped rather than wrapped.
    if (initialLineCapacity > 0xFFFE) initialLineCapacity = 0xFFFE;
    if (initialLineCapacity > 0) {
        size_t cbLines = sizeof(TextLine) * ((size_t)initialLineCapacity + 1);
        pane->lines = (TextLine*)PlatformAlloc(cbLines);
        if (pane->lines) {
            memset(&pane->lines[0], 0, sizeof(TextLine));
            pane->lineCapacity = (uint16_t)initialLineCapacity;
        }
    }
    return pane;
}

void DestroyTextPane(TextPane* pane) {
    if (!pane) return;
    PlatformFree(pane->text);
    PlatformFree(pane->lines);
    FreeFontCache(pane->fontCache);
    PlatformFree(pane);
}

// ---- Fonts --------------------------------------------------------------------

namespace {

const LONG kWeightNormal = 400;
const LONG kWeightBold = 700;

// Sizes are given in pixels at 96 DPI and scaled to the font's own resolution.
int StyleFontHeight(int32_t size, uint8_t style, int dpi) {
    size = UsableFontSize(size);
    int height = size;
    if (style & kFlagLarge) height = size * 5 / 4;
    else if (style & kFlagSmall) height = size * 6 / 8;
    return ScalePx(height, dpi);
}

FontCacheEntry* FindCachedStyle(FontCacheEntry* cache, uint8_t style) {
    for (FontCacheEntry* entry = cache; entry; entry = entry->next) {
        if (entry->style == style) return entry;
    }
    return nullptr;
}

// A new entry at the head of the cache; null when it cannot be allocated.
FontCacheEntry* AddCachedStyle(FontCacheEntry** cache, const FontSpec* spec, uint8_t style) {
    FontCacheEntry* entry = (FontCacheEntry*)PlatformAlloc(sizeof(FontCacheEntry));
    if (!entry) return nullptr;
    entry->next = *cache;
    entry->style = style;
    entry->font = CreateStyleFont(spec, style);
    *cache = entry;
    return entry;
}

}  // namespace

HFONT CachedStyleFont(FontCacheEntry** cache, const FontSpec* spec, uint8_t style) {
    FontCacheEntry* entry = FindCachedStyle(*cache, style);
    // An entry whose font failed stays in the list; a fresh one goes in front.
    if (!entry || !entry->font) entry = AddCachedStyle(cache, spec, style);
    return entry ? entry->font : nullptr;
}

void FreeFontCache(FontCacheEntry* cache) {
    while (cache) {
        FontCacheEntry* next = cache->next;
        if (cache->font) DeleteObject(cache->font);
        PlatformFree(cache);
        cache = next;
    }
}

HFONT CreateStyleFont(const FontSpec* spec, uint8_t style) {
    LOGFONTW logFont;
    memset(&logFont, 0, sizeof logFont);
    logFont.lfHeight = StyleFontHeight(spec->size, style, spec->dpi);
    logFont.lfWeight = (style & kFlagBold) ? kWeightBold : kWeightNormal;
    // Any character set: the letters may sit at 0x5D0, at 0xE0 or in place of
    // the Latin letters, and the named face must win whichever it is.
    logFont.lfCharSet = DEFAULT_CHARSET;
    // Until a font is chosen, a face with Hebrew letters rather than the
    // platform's default, which may have none.
    const wchar_t* face = spec->faceName[0] ? spec->faceName : DefaultHebrewFaceName();
    wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
    logFont.lfFaceName[LF_FACESIZE - 1] = 0;
    return CreateFontIndirectW(&logFont);
}

COLORREF StyleTextColour(uint8_t style) {
    const Palette& palette = CurrentPalette();
    if (style & kFlagSmall) return palette.smallText;
    if ((style & kFlagLarge) && (style & kFlagBold)) return palette.headingText;
    return palette.plainText;
}

HFONT SelectStyleFont(TextPane* pane, uint32_t styleWord) {
    uint8_t style = (uint8_t)(styleWord & kStyleMask);
    HFONT font = CachedStyleFont(&pane->fontCache, &pane->fontSpec, style);
    if (styleWord & kSelectWithColour) SetTextColor(pane->dc, StyleTextColour(style));
    // Without a font for the style, keep drawing with whatever is selected.
    if (!font) return (HFONT)GetCurrentObject(pane->dc, OBJ_FONT);
    return (HFONT)SelectObject(pane->dc, font);
}

void RebuildStyleFonts(TextPane* pane, const FontSpec* spec) {
    pane->fontSpec = *spec;
    for (FontCacheEntry* entry = pane->fontCache; entry; entry = entry->next) {
        if (entry->font) DeleteObject(entry->font);
        entry->font = CreateStyleFont(&pane->fontSpec, entry->style);
    }
}
