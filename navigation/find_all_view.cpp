#include "navigation/find_all_view.h"

#include <wchar.h>

#include "platform/dpi.h"
#include "platform/fonts.h"

FindAllView gFindAll = {};

namespace {

// Pixels at 96 DPI.
const int kTextFontPx = 18;
const int kRowPaddingPx = 3;

HFONT StockLabelFont() { return (HFONT)GetStockObject(DEFAULT_GUI_FONT); }

int FontHeightPx(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ saved = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, saved);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight;
}

struct ViewFonts {
    HFONT textFont, labelFont;
    bool ownsTextFont, ownsLabelFont;
};

ViewFonts FontsOf(const FindAllView* view) {
    return {view->textFont, view->labelFont, view->ownsTextFont, view->ownsLabelFont};
}

void DeleteFonts(const ViewFonts& fonts) {
    if (fonts.ownsTextFont && fonts.textFont) DeleteObject(fonts.textFont);
    if (fonts.ownsLabelFont && fonts.labelFont) DeleteObject(fonts.labelFont);
}

// The count and the filter buttons take the new label font before the old
// one goes.
void GiveLabelsTheirFont(const FindAllView* view) {
    if (view->countLabel) SendMessageW(view->countLabel, WM_SETFONT, (WPARAM)view->labelFont, TRUE);
    for (HWND button : view->filterButtons)
        if (button) SendMessageW(button, WM_SETFONT, (WPARAM)view->labelFont, TRUE);
}

// The reading face at a size for a list.
void MakeTextFont(FindAllView* view, const wchar_t* face) {
    LOGFONTW logFont = {};
    logFont.lfHeight = ScalePx(kTextFontPx, view->dpi);
    logFont.lfCharSet = DEFAULT_CHARSET;  // the Western set would swap a Hebrew-only face
    wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
    view->textFont = CreateFontIndirectW(&logFont);
    view->ownsTextFont = view->textFont != nullptr;
    if (!view->textFont) view->textFont = StockLabelFont();
    wcsncpy(view->textFace, face, kFaceNameChars - 1);
    view->textFace[kFaceNameChars - 1] = 0;
}

// The controls' font at the window's resolution, as the tool bar has it: the
// stock font is made for the system's, half size at twice that.
void MakeLabelFont(FindAllView* view) {
    view->labelFont = CreateControlFontForDpi(view->dpi);
    view->ownsLabelFont = view->labelFont != nullptr;
    if (!view->labelFont) view->labelFont = StockLabelFont();
}

}  // namespace

void EnsureFindAllFonts(FindAllView* view) {
    const wchar_t* face = gApp.font.faceName[0] ? gApp.font.faceName : DefaultHebrewFaceName();
    bool current = view->fontDpi == UsableDpi(view->dpi) && wcscmp(face, view->textFace) == 0;
    if (view->textFont && current) return;
    ViewFonts old = FontsOf(view);
    view->fontDpi = UsableDpi(view->dpi);
    MakeTextFont(view, face);
    MakeLabelFont(view);
    GiveLabelsTheirFont(view);
    DeleteFonts(old);
    view->textHeightPx = FontHeightPx(view->textFont);
    int labelHeightPx = FontHeightPx(view->labelFont);
    int tallest = view->textHeightPx > labelHeightPx ? view->textHeightPx : labelHeightPx;
    view->rowHeightPx = tallest + 2 * ScalePx(kRowPaddingPx, view->dpi);
}

void ReleaseFindAllView(FindAllView* view) {
    ReleaseFindAllRows(&view->rows);
    DeleteFonts(FontsOf(view));
    *view = FindAllView{};
}
