// Benchmark of the reader's hot paths. Prints one figure per line as
// "name: value" with the unit in the name. Speeds are also given as ratios
// against a baseline measured in the same run, since these machines are noisy.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <vector>

#include "content/palmdoc.h"
#include "content/section_store.h"
#include "platform/services.h"

namespace {

struct SectionBlock {
    const uint8_t* block;
    uint32_t blockLength;
    uint32_t expandedLength;
};

double NowSeconds() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)frequency.QuadPart;
}

// Expanded bytes over compressed bytes across every resource found.
double CompressionRatio(const std::vector<SectionBlock>& sections) {
    double expanded = 0, compressed = 0;
    for (const SectionBlock& section : sections) {
        expanded += section.expandedLength;
        compressed += (double)(section.block[0] << 8 | section.block[1]);
    }
    return compressed > 0 ? expanded / compressed : 0;
}

std::vector<SectionBlock> BookSections() {
    std::vector<SectionBlock> sections;
    for (int id = 1001; id <= 0xFFFF; id++) {
        const uint8_t* bytes = nullptr;
        uint32_t size = 0;
        if (FindRawDataResource((uint16_t)id, &bytes, &size) != kResourceFound || size < 10) continue;
        uint32_t blockLength = (uint32_t)(bytes[0] << 8 | bytes[1]);
        if (blockLength > size - kSectionHeaderBytes) continue;
        sections.push_back({bytes + kSectionHeaderBytes, blockLength, (uint32_t)(bytes[8] << 8 | bytes[9])});
    }
    return sections;
}

// Expands every section `rounds` times; returns the expanded MB per second.
double ExpandSpeed(const std::vector<SectionBlock>& sections, int rounds) {
    double bytes = 0;
    double start = NowSeconds();
    for (int r = 0; r < rounds; r++) {
        for (const SectionBlock& section : sections) {
            uint8_t* text = ExpandSectionBlock(section.block, section.blockLength, nullptr);
            if (!text) continue;
            bytes += section.expandedLength;
            PlatformFree(text);
        }
    }
    return bytes / (NowSeconds() - start) / 1e6;
}

// The expansion alone, into one reused buffer: what the allocation costs.
double ExpandOnlySpeed(const std::vector<SectionBlock>& sections, int rounds) {
    std::vector<uint8_t> target(70000);
    double bytes = 0;
    double start = NowSeconds();
    for (int r = 0; r < rounds; r++) {
        for (const SectionBlock& section : sections) {
            const uint8_t* block = section.block;
            size_t streamLength = (size_t)(block[0] << 8 | block[1]);
            bytes += (double)ExpandPalmDoc(block + kStreamHeaderBytes, streamLength, target.data(),
                                           section.expandedLength);
        }
    }
    return bytes / (NowSeconds() - start) / 1e6;
}

// The ceiling: a memcpy of the same expanded bytes, section by section.
double CopySpeed(const std::vector<SectionBlock>& sections, int rounds) {
    std::vector<std::vector<uint8_t>> texts;
    for (const SectionBlock& section : sections) {
        uint8_t* text = ExpandSectionBlock(section.block, section.blockLength, nullptr);
        texts.emplace_back(text, text + (text ? section.expandedLength : 0));
        PlatformFree(text);
    }
    std::vector<uint8_t> target(70000);
    volatile uint8_t sink = 0;
    double bytes = 0;
    double start = NowSeconds();
    for (int r = 0; r < rounds; r++) {
        for (const std::vector<uint8_t>& text : texts) {
            memcpy(target.data(), text.data(), text.size());
            sink = sink + target[text.size() / 2];
            bytes += (double)text.size();
        }
    }
    return bytes / (NowSeconds() - start) / 1e6;
}

void PrintFigure(const char* name, double value) { printf("%s: %.4f\n", name, value); }

}  // namespace

int main() {
    std::vector<SectionBlock> sections = BookSections();
    if (sections.empty()) {
        fprintf(stderr, "no section resources\n");
        return 1;
    }
    printf("sections: %u\n", (unsigned)sections.size());
    ExpandSpeed(sections, 5);  // warm up
    double expand = ExpandSpeed(sections, 200);
    double copy = CopySpeed(sections, 200);
    PrintFigure("expand_mb_per_s", expand);
    PrintFigure("expand_no_alloc_mb_per_s", ExpandOnlySpeed(sections, 200));
    PrintFigure("memcpy_mb_per_s", copy);
    PrintFigure("expand_vs_memcpy", expand / copy);
    PrintFigure("compression_ratio", CompressionRatio(sections));
    return 0;
}
