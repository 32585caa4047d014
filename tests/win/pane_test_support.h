// Shared by the pane tests: a memory dc over a 32-bit DIB section whose pixels
// can be read, section texts built record by record, and a fixture that owns
// a pane and restores the program-wide font and flags.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <malloc.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "panes/pane_paint.h"
#include "panes/pane_select.h"
#include "panes/text_layout.h"
#include "panes/text_pane.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"
#include "tests/support/test_seams.h"

// A white canvas of widthPx x heightPx behind a memory dc.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ savedBitmap = nullptr;
    uint32_t* pixels = nullptr;  // top-down rows, 0x00RRGGBB
    int widthPx = 0;
    int heightPx = 0;

    Canvas(int width, int height) : widthPx(width), heightPx(height) {
        BITMAPINFO info;
        memset(&info, 0, sizeof info);
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = (uint32_t*)bits;
        savedBitmap = SelectObject(dc, bitmap);
        Clear(0xFFFFFF);
    }
    ~Canvas() {
        SelectObject(dc, savedBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Clear(uint32_t rgb) {
        GdiFlush();
        for (int i = 0; i < widthPx * heightPx; i++) pixels[i] = rgb;
    }
    // The pixel as a platform colour value, 0x00BBGGRR.
    COLORREF At(int x, int y) const {
        GdiFlush();
        uint32_t rgb = pixels[y * widthPx + x];
        return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    // How many pixels of the area have exactly `colour`.
    int Count(int left, int top, int right, int bottom, COLORREF colour) const {
        int count = 0;
        for (int y = top; y < bottom; y++) {
            for (int x = left; x < right; x++) count += At(x, y) == colour;
        }
        return count;
    }
    int CountNot(int left, int top, int right, int bottom, COLORREF colour) const {
        return (right - left) * (bottom - top) - Count(left, top, right, bottom, colour);
    }
};

// Section text built record by record. Take() hands out a PlatformAlloc copy
// ending, like a loaded section, in a zero flags byte and two guard bytes.
struct SectionBuilder {
    std::vector<uint8_t> bytes;

    // Returns the text offset of the record's text.
    uint16_t Add(uint8_t flags, uint8_t indent, const std::string& body) {
        bytes.push_back(flags);
        bytes.push_back(indent);
        uint16_t offset = (uint16_t)bytes.size();
        bytes.insert(bytes.end(), body.begin(), body.end());
        bytes.push_back(0);
        return offset;
    }
    uint8_t* Take() const {
        uint8_t* text = (uint8_t*)PlatformAlloc(bytes.size() + 3);
        memcpy(text, bytes.data(), bytes.size());
        memset(text + bytes.size(), 0, 3);
        return text;
    }
};

// Letter codes of Hebrew written in reading order, stored the way a reversed
// paragraph stores it: in drawing order, the last letter first.
inline std::string DrawingOrder(const std::wstring& hebrew) {
    std::string codes;
    for (auto c = hebrew.rbegin(); c != hebrew.rend(); ++c) {
        codes.push_back(*c >= 0x5D0 && *c <= 0x5EA ? (char)(0x61 + (*c - 0x5D0)) : (char)*c);
    }
    return codes;
}

// Bytes in use on the C runtime's heap, where PlatformAlloc takes its memory:
// equal before and after an operation that should leave nothing behind.
inline size_t HeapBytesInUse() {
    HANDLE heap = (HANDLE)_get_heap_handle();
    size_t bytes = 0;
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = nullptr;
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    }
    HeapUnlock(heap);
    return bytes;
}

const wchar_t kMonoFace[] = L"Miriam Mono CLM";
const wchar_t kBookFace[] = L"David CLM";

// A pane on a canvas, with the program-wide font set to a named face.
class PaneTest : public ::testing::Test {
protected:
    Canvas canvas{640, 480};
    TextPane* pane = nullptr;
    AppState savedApp;

    void SetUp() override {
        savedApp = gApp;
        ResetSettingsSaved();  // an earlier test may have ended the program, which stops painting
        UseFont(kMonoFace, 16, kLetterBaseUnicode);
        gApp.flags = kFlagsDefault;
    }
    void TearDown() override {
        DestroyTextPane(pane);
        gApp = savedApp;
    }
    void UseFont(const wchar_t* face, int size, int letterBase) {
        memset(&gApp.font, 0, sizeof gApp.font);
        wcsncpy(gApp.font.faceName, face, kFaceNameChars - 1);
        gApp.font.size = size;
        gApp.font.letterBase = letterBase;
    }
    TextPane* MakePane(int left, int top, int widthPx, int heightPx, int capacity = kPaneInitialLines) {
        DestroyTextPane(pane);
        RECT rect = {left, top, left + widthPx, top + heightPx};
        pane = CreateTextPane(canvas.dc, &rect, &gApp.font, capacity);
        return pane;
    }
    int Layout(const SectionBuilder& section) { return LayoutSection(pane, section.Take(), 1); }
    // Width of `codes` in the pane's font of `style`.
    int WidthOf(const std::string& codes, uint8_t style = 1) {
        HFONT saved = SelectStyleFont(pane, style);
        int widthPx = 10000, count = (int)codes.size();
        MeasureFit(pane->dc, (const uint8_t*)codes.c_str(), &widthPx, &count);
        SelectObject(pane->dc, saved);
        return widthPx;
    }
    TEXTMETRICW MetricsOf(uint8_t style) {
        HFONT saved = SelectStyleFont(pane, style);
        TEXTMETRICW metrics;
        GetTextMetricsW(pane->dc, &metrics);
        SelectObject(pane->dc, saved);
        return metrics;
    }
    const TextLine& Line(int i) const { return pane->lines[i]; }
};

// The first and last characters a line draws from left to right (Reverse mode
// off), as stored offsets: its drawn characters are the stored stretch between.
inline void DrawnEnds(const TextLine& line, uint16_t* leftmost, uint16_t* rightmost) {
    bool hangs = line.hangWidth && line.hanging.fitCount;
    bool wordLeft = hangs && !(line.flags & kFlagReversed);
    bool wordRight = hangs && (line.flags & kFlagReversed);
    *leftmost = wordLeft || !line.length ? line.hanging.offset : line.offset;
    *rightmost = wordRight || !line.length ? line.hanging.offset + line.hanging.fitCount - 1
                                           : line.offset + line.length - 1;
}

// A press at the centre of a line's first drawn character and a release at
// the centre of its last, through the pane's mapping both ways. Empty when
// that selects exactly the line's drawn characters; else what went wrong.
inline std::string SelectLineByItsEnds(TextPane* pane, const TextLine& line) {
    uint16_t leftmost, rightmost;
    DrawnEnds(line, &leftmost, &rightmost);
    RECT first, last;
    if (!CharacterBox(pane, leftmost, &first) || !CharacterBox(pane, rightmost, &last)) return "no box on screen";
    bool wordLeft = line.hangWidth && line.hanging.fitCount && !(line.flags & kFlagReversed);
    bool wordRight = line.hangWidth && line.hanging.fitCount && (line.flags & kFlagReversed);
    int drawnLeft = wordLeft || !line.length ? HangingWordX(&line) : LineX(&line);
    int drawnRight = wordRight || !line.length ? HangingWordX(&line) + line.hanging.fitWidth : LineX(&line) + line.width;
    if (first.left != drawnLeft || last.right != drawnRight)
        return "boxes span " + std::to_string(first.left) + ".." + std::to_string(last.right) + ", the line " +
               std::to_string(drawnLeft) + ".." + std::to_string(drawnRight);
    uint16_t anchor = 0, focus = 0;
    if (!CharacterAtPoint(pane, (first.left + first.right) / 2, (first.top + first.bottom) / 2, &anchor) ||
        !CharacterAtPoint(pane, (last.left + last.right) / 2, (last.top + last.bottom) / 2, &focus))
        return "no character at a box's centre";
    if (anchor != leftmost || focus != rightmost)
        return "centres hit " + std::to_string(anchor) + ".." + std::to_string(focus) + ", not " +
               std::to_string(leftmost) + ".." + std::to_string(rightmost);
    SelectCharacters(pane, anchor, focus);
    SelectedStretches selected = ResolveSelection(pane);
    TextStretch part = SelectedPart(selected, 0, 0xFFFF);
    if (selected.count != 1 || part.start != leftmost || part.end != rightmost + 1)
        return "selected " + std::to_string(part.start) + ".." + std::to_string(part.end) + " in " +
               std::to_string(selected.count) + " stretches";
    return "";
}
