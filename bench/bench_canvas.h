// A memory dc over a 32-bit DIB section, for the figures that draw
// without a window.
#pragma once

#include <windows.h>
#include <string.h>

struct BenchCanvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ savedBitmap;
    int widthPx;
    int heightPx;
};

inline BenchCanvas CreateCanvas(int widthPx, int heightPx) {
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = widthPx;
    info.bmiHeader.biHeight = -heightPx;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    BenchCanvas canvas = {CreateCompatibleDC(nullptr), nullptr, nullptr, widthPx, heightPx};
    void* bits = nullptr;
    canvas.bitmap = CreateDIBSection(canvas.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    canvas.savedBitmap = SelectObject(canvas.dc, canvas.bitmap);
    return canvas;
}

inline void DestroyCanvas(BenchCanvas* canvas) {
    SelectObject(canvas->dc, canvas->savedBitmap);
    DeleteObject(canvas->bitmap);
    DeleteDC(canvas->dc);
}
