#include "tests/common/sample_sections.h"

#include <string.h>

#include "content/section_store.h"

namespace {

void AppendRecord(std::vector<uint8_t>* text, uint8_t flags, uint8_t indent, const char* body) {
    text->push_back(flags);
    text->push_back(indent);
    text->insert(text->end(), body, body + strlen(body));
    text->push_back(0);
}

uint32_t NextRandom(uint32_t* state) {
    *state = *state * 1664525u + 1013904223u;
    return *state >> 8;
}

}  // namespace

std::vector<uint8_t> SampleSectionText() {
    std::vector<uint8_t> text;
    AppendRecord(&text, 0xDC, 0, "abg dhw");
    AppendRecord(&text, 0xD1, 0, "zxj");
    AppendRecord(&text, 0x81, 0x45, "klm nsp-ex qrs tu");
    AppendRecord(&text, 0xC7, 200, "");
    AppendRecord(&text, 0x07, 0, "");
    AppendRecord(&text, 0xB0, 3, "yk~lm abc");
    text.push_back(0);
    return text;
}

std::vector<uint8_t> GeneratedSectionText(int paragraphs, uint32_t seed) {
    std::vector<uint8_t> text;
    uint32_t state = seed;
    for (int p = 0; p < paragraphs; p++) {
        text.push_back((uint8_t)(0x81 | (NextRandom(&state) & 0x78)));
        text.push_back((uint8_t)(NextRandom(&state) & 0xFF));
        int words = 3 + (int)(NextRandom(&state) % 40);
        for (int w = 0; w < words; w++) {
            if (w) text.push_back(' ');
            int letters = 1 + (int)(NextRandom(&state) % 7);
            for (int l = 0; l < letters; l++) text.push_back((uint8_t)(0x61 + NextRandom(&state) % 27));
        }
        text.push_back(0);
    }
    text.push_back(0);
    return text;
}

std::vector<uint8_t> SearchBookSection(int section) {
    std::vector<uint8_t> text;
    switch (section) {
    case 11:
        AppendRecord(&text, 0xDC, 0, "abg WRAP");
        AppendRecord(&text, 0xD1, 0, "zxj");
        AppendRecord(&text, 0x91, 0, "klm ONCE nsp");
        break;
    case 12: AppendRecord(&text, 0x91, 0, "qrs NOTE tu"); break;
    case 15: AppendRecord(&text, 0x91, 0, "NOTE abc"); break;
    case 17:  // refused by the layout: the first record has no text
        AppendRecord(&text, 0x91, 0, "");
        AppendRecord(&text, 0x91, 0, "LOST");
        break;
    case 19: AppendRecord(&text, 0x91, 0, "abc LOST"); break;
    default:  // 21: a long section with one rule and "DEEP" near its end
        text = GeneratedSectionText(40, 21);
        text.pop_back();
        AppendRecord(&text, 0x07, 200, "RULE");
        AppendRecord(&text, 0x91, 0, "gh DEEP ij");
        text.push_back(0);
        return text;
    }
    text.push_back(0);
    return text;
}

std::vector<uint8_t> MakeSectionResource(const std::vector<uint8_t>& text, uint16_t reserved) {
    std::vector<uint8_t> resource(SectionResourceBound(text.size()));
    size_t size = BuildSectionResource(text.data(), text.size(), reserved, reserved, resource.data());
    resource.resize(size);
    return resource;
}

std::vector<TestResource> TestResources() {
    std::vector<TestResource> list;
    std::vector<uint8_t> sample = SampleSectionText();
    std::vector<uint8_t> generated = GeneratedSectionText(60, 7);
    list.push_back({1001, MakeSectionResource(sample, 21), 0, sample});
    list.push_back({1002, MakeSectionResource(generated, 22), 0, generated});

    std::vector<uint8_t> bad = MakeSectionResource(sample, 23);
    bad[0] = 0;
    bad[1] = 4;  // block length below 5
    list.push_back({1003, bad, kSectionBadHeader, {}});

    list.push_back({1004, {0x00, 0x10, 0x00}, kSectionBadHeader, {}});  // truncated header

    bad = MakeSectionResource(sample, 25);
    bad[9] = (uint8_t)(bad[9] + 1);  // declares one byte more than the stream makes
    if (bad[9] == 0) bad[8]++;
    list.push_back({1005, bad, kSectionBadStream, {}});

    bad = MakeSectionResource(sample, 26);
    bad[0] = 0x7F;  // block longer than the resource
    list.push_back({1006, bad, kSectionBadHeader, {}});

    bad = MakeSectionResource(sample, 27);
    bad[8] = bad[9] = 0;  // expanded length 0
    list.push_back({1007, bad, kSectionNoStream, {}});

    for (int section : {11, 12, 15, 17, 19, 21}) {
        std::vector<uint8_t> text = SearchBookSection(section);
        list.push_back({(uint16_t)(1000 + section), MakeSectionResource(text, 28), 0, text});
    }
    return list;
}
