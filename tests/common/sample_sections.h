// Section texts and damaged resources shared by the resource generator of the
// Win32 tests and the tests themselves.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

// A small section: title, subtitle, a hanging paragraph, a rule and a spacer.
std::vector<uint8_t> SampleSectionText();

// A long section of generated paragraphs, `paragraphs` records long.
std::vector<uint8_t> GeneratedSectionText(int paragraphs, uint32_t seed);

// The sections of the search tests: 11, 12, 15, 17, 19 and 21 (see there).
std::vector<uint8_t> SearchBookSection(int section);

// A compressed section resource (header, stream, trailer) for `text`.
std::vector<uint8_t> MakeSectionResource(const std::vector<uint8_t>& text, uint16_t reserved);

// Resource ids of the Win32 test executable and what loading each must give.
struct TestResource {
    uint16_t id;
    std::vector<uint8_t> bytes;
    int expectedError;  // 0: loads and equals `text`
    std::vector<uint8_t> text;
};
std::vector<TestResource> TestResources();
