// libFuzzer target: arbitrary bytes as a /print command line, as a stored
// "PrintMargins" and "PrintOptions", and as the lines a measurer hands the
// pages. Whatever is read must be usable, and the pages must hold every line
// once, in order, inside the body.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "print/print_pages.h"
#include "print/print_request.h"

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    size_t at;
};

uint8_t Next(Input* input) { return input->at < input->size ? input->data[input->at++] : 0; }

struct FuzzMeasurer {
    Input* input;
    std::vector<std::vector<MeasuredLine>> blocks;
};

int LayOut(void* context, int, int32_t, int32_t widthPx, const MeasuredLine** lines) {
    FuzzMeasurer* measurer = (FuzzMeasurer*)context;
    if (widthPx <= 0) __builtin_trap();
    uint8_t count = Next(measurer->input);
    if (count == 255) return -1;  // a section that cannot be laid out
    std::vector<MeasuredLine> laid(count % 64);
    for (MeasuredLine& line : laid) {
        uint8_t shape = Next(measurer->input);
        line.heightPx = (shape & 0x3F) * 7;  // 0 included, and taller than small bodies
        line.blankRowAfter = (shape & 0x40) != 0;
        line.heading = (shape & 0x80) != 0;
    }
    measurer->blocks.push_back(laid);
    *lines = measurer->blocks.back().data();
    return (int)laid.size();
}

void CheckCommandLine(const uint8_t* data, size_t size) {
    std::vector<wchar_t> line(size / 2 + 1, 0);
    for (size_t i = 0; i + 1 < size; i += 2) line[i / 2] = (wchar_t)(data[i] | data[i + 1] << 8);
    PrintRequest request;
    wchar_t why[64];
    int result = ReadPrintRequest(line.data(), line.size() - 1, &request, why, 64);
    if (result == kPrintRequestRead && !ChosenPairCount(&request.choice)) __builtin_trap();
    if (wcsnlen(request.printer, kPrintNameChars) == kPrintNameChars) __builtin_trap();
    if (wcsnlen(request.output, kPrintNameChars) == kPrintNameChars) __builtin_trap();
    if (wcsnlen(why, 64) == 64) __builtin_trap();
}

void CheckStored(const uint8_t* data, size_t size) {
    PrintMargins margins = DecodePrintMargins(data, size < kStoredMarginsBytes ? size : kStoredMarginsBytes);
    const int32_t sides[] = {margins.left, margins.top, margins.right, margins.bottom};
    for (int32_t side : sides)
        if (side < 0 || side > kMaxMarginHundredths) __builtin_trap();
    uint32_t stored = 0;
    for (size_t i = 0; i < 4 && i < size; i++) stored |= (uint32_t)data[i] << (8 * i);
    StoredPrintOptions options = DecodePrintOptions(stored);
    if (options.commentary < kCommentaryBelow || options.commentary > kCommentaryNone) __builtin_trap();
}

void CheckPages(Input* input) {
    PrintChoice choice;
    choice.firstPair = Next(input);
    choice.lastPair = choice.firstPair + Next(input) % 8;
    choice.commentary = Next(input) % 4;  // 3 is unknown
    choice.newPagePerPair = Next(input) & 1;
    PrintRect body = {0, 0, 40 + Next(input) * 8, Next(input) * 4};
    PageSpacing spacing = {Next(input), Next(input)};
    FuzzMeasurer measurer = {input, {}};
    PrintMeasurer asked = {&measurer, LayOut};
    PrintPages pages;
    if (Paginate(&asked, &choice, body, spacing, &pages) != kPaginated) {
        if (pages.pageCount || pages.lineCount || pages.blocks) __builtin_trap();
        return;
    }
    std::vector<std::vector<int>> seen(pages.blockCount);
    for (int b = 0; b < pages.blockCount; b++) seen[b].assign(pages.blocks[b].lineCount, 0);
    int32_t placed = 0;
    for (int p = 0; p < pages.pageCount; p++) {
        const PrintPage& page = pages.pages[p];
        if (page.firstLine != placed) __builtin_trap();
        for (int i = 0; i < page.lineCount; i++) {
            const PlacedLine& line = pages.lines[page.firstLine + i];
            if (line.block < 0 || line.block >= pages.blockCount) __builtin_trap();
            if (line.line < 0 || line.line >= pages.blocks[line.block].lineCount) __builtin_trap();
            if (seen[line.block][line.line]++) __builtin_trap();
            const MeasuredLine& measured = measurer.blocks[line.block][line.line];
            int32_t heightPx = measured.heightPx > 0 ? measured.heightPx : 1;
            bool alone = line.y == body.top;  // a line taller than the body stands alone
            if (line.y < body.top || (!alone && line.y + heightPx > body.bottom)) __builtin_trap();
        }
        placed += page.lineCount;
    }
    if (placed != pages.lineCount) __builtin_trap();
    for (const std::vector<int>& block : seen)
        for (int count : block)
            if (count != 1) __builtin_trap();
    FreePrintPages(&pages);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t split = data[0] < size - 1 ? data[0] : size - 1;
    CheckCommandLine(data + 1, split);
    CheckStored(data + 1, size - 1);
    Input input = {data + 1 + split, size - 1 - split, 0};
    CheckPages(&input);
    return 0;
}
