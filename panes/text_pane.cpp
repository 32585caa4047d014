// The text pane record: creation and destruction.
#include "panes/text_pane.h"

#include <string.h>

#include "platform/services.h"

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
    FontCacheEntry* entry = pane->fontCache;
    while (entry) {
        FontCacheEntry* next = entry->next;
        if (entry->font) DeleteObject(entry->font);
        PlatformFree(entry);
        entry = next;
    }
    PlatformFree(pane);
}
