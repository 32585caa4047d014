// Copy of a whole section onto the clipboard through the command, and the
// Rich Text encoder alone over the copy text of the whole book.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "bench/bench_clock.h"
#include "bench/copy_bench.h"
#include "clipboard/copy_text.h"
#include "clipboard/rtf_encoder.h"
#include "content/book_numbers.h"
#include "content/section_records.h"
#include "content/section_store.h"
#include "panes/text_pane.h"
#include "platform/services.h"

namespace {

const WPARAM kCommandCopy = 40007;

uint32_t SectionBytes(const uint8_t* text) {
    RecordWalker walker;
    StartRecordWalk(&walker, text, kUnboundedWalk);
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record)) {
    }
    return walker.position;
}

const uint8_t* LargestSection(const std::vector<uint8_t*>& texts) {
    const uint8_t* largest = nullptr;
    uint32_t largestBytes = 0;
    for (const uint8_t* text : texts) {
        uint32_t bytes = SectionBytes(text);
        if (bytes > largestBytes) largest = text, largestBytes = bytes;
    }
    return largest;
}

// Milliseconds per Copy command of `text` in the main pane.
double CopyMs(const uint8_t* text, int rounds) {
    HWND owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    gApp.mainWindow = owner;
    TextPane* pane = CreateTextPane(GetDC(owner), nullptr, &gApp.font, 0);
    pane->text = (uint8_t*)text;  // borrowed for the run
    gApp.mainPane = pane;
    DispatchCommand(owner, kCommandCopy);  // warm up the conversion buffer
    double start = NowMs();
    for (int i = 0; i < rounds; i++) DispatchCommand(owner, kCommandCopy);
    double elapsed = NowMs() - start;
    gApp.mainPane = nullptr;
    pane->text = nullptr;
    DestroyTextPane(pane);
    DestroyWindow(owner);
    gApp.mainWindow = nullptr;
    return elapsed / rounds;
}

// The copy text of every section, one after the other.
std::vector<char16_t> BookCopyText(const std::vector<uint8_t*>& texts) {
    std::vector<char16_t> book;
    for (const uint8_t* text : texts) {
        CopyTextCounts counts;
        MeasureCopyText(text, &counts);
        std::vector<wchar_t> buffer(CopyTextBufferChars(&counts));
        if (BuildCopyText(text, buffer.data(), buffer.size() * sizeof(wchar_t)) != kCopyTextBuilt) continue;
        for (size_t i = 0; buffer[i]; i++) book.push_back((char16_t)buffer[i]);
    }
    book.push_back(0);
    return book;
}

// Megabytes of copy text (two bytes a character) per second through both
// passes of the encoder.
double EncodeMbPerSecond(const std::vector<char16_t>& book, int rounds) {
    std::vector<char> body(EncodeRtf(book.data(), nullptr) + 1);
    volatile size_t sink = 0;
    double start = NowMs();
    for (int i = 0; i < rounds; i++) {
        size_t counted = EncodeRtf(book.data(), nullptr);
        sink = sink + counted + EncodeRtf(book.data(), body.data());
    }
    double seconds = (NowMs() - start) / 1000.0;
    return (double)(book.size() - 1) * sizeof(char16_t) * rounds / seconds / 1e6;
}

}  // namespace

void BenchCopy() {
    std::vector<uint8_t*> texts;
    for (int n = kFirstSection; n <= kLastBookSection; n++) {
        uint8_t* text = LoadSectionText((uint16_t)n, nullptr);
        if (text) texts.push_back(text);
    }
    wcscpy(gApp.font.faceName, L"David CLM");
    gApp.font.size = 18;
    gApp.font.letterBase = kLetterBaseUnicode;
    gApp.flags = kFlagsDefault;
    const uint8_t* largest = LargestSection(texts);
    if (largest) {
        printf("copy_ms_largest_section: %.4f\n", CopyMs(largest, 50));
        printf("rtf_encode_mb_per_s: %.4f\n", EncodeMbPerSecond(BookCopyText(texts), 5));
    }
    for (uint8_t* text : texts) PlatformFree(text);
}
