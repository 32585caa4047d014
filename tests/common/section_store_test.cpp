// Expanding section blocks: header checks, the failure codes and what a
// successful expansion hands back.
#include <gtest/gtest.h>

#include <string.h>

#include "content/section_store.h"
#include "platform/services.h"
#include "tests/common/message_capture.h"
#include "tests/common/sample_sections.h"

namespace {

// The block that follows the 6-byte resource header.
std::vector<uint8_t> BlockOf(const std::vector<uint8_t>& resource) {
    return std::vector<uint8_t>(resource.begin() + kSectionHeaderBytes, resource.end());
}

uint8_t* ExpandBlock(const std::vector<uint8_t>& block, int* error) {
    return ExpandSectionBlock(block.data(), (uint32_t)block.size(), error);
}

}  // namespace

TEST(SectionStore, ResourceRoundTripKeepsHeaderLayout) {
    std::vector<uint8_t> text = GeneratedSectionText(40, 3);
    std::vector<uint8_t> resource = MakeSectionResource(text, 45);
    uint32_t blockLength = resource[0] << 8 | resource[1];
    uint32_t compressedLength = resource[6] << 8 | resource[7];
    EXPECT_EQ(blockLength, resource.size() - 6);
    EXPECT_EQ(blockLength, compressedLength + 8);
    EXPECT_EQ(resource[2] << 8 | resource[3], 45);
    EXPECT_EQ(resource[4] << 8 | resource[5], 45);
    EXPECT_EQ((uint32_t)(resource[8] << 8 | resource[9]), text.size());

    int error = 0;
    uint8_t* expanded = ExpandBlock(BlockOf(resource), &error);
    ASSERT_NE(expanded, nullptr);
    EXPECT_EQ(memcmp(expanded, text.data(), text.size()), 0);
    for (uint32_t i = 0; i < kSectionTailBytes; i++) EXPECT_EQ(expanded[text.size() + i], 0);
    PlatformFree(expanded);
}

TEST(SectionStore, HeaderFailures) {
    std::vector<uint8_t> block = BlockOf(MakeSectionResource(SampleSectionText(), 21));
    int error = 0;
    EXPECT_EQ(ExpandSectionBlock(block.data(), 4, &error), nullptr);
    EXPECT_EQ(error, kSectionBadHeader);

    std::vector<uint8_t> zeroCompressed = block;
    zeroCompressed[0] = zeroCompressed[1] = 0;
    EXPECT_EQ(ExpandBlock(zeroCompressed, &error), nullptr);
    EXPECT_EQ(error, kSectionBadHeader);

    std::vector<uint8_t> zeroExpanded = block;
    zeroExpanded[2] = zeroExpanded[3] = 0;
    EXPECT_EQ(ExpandBlock(zeroExpanded, &error), nullptr);
    EXPECT_EQ(error, kSectionNoStream);

    // A compressed length that runs past the block is refused before reading.
    std::vector<uint8_t> overlong = block;
    overlong[0] = 0xFF;
    EXPECT_EQ(ExpandBlock(overlong, &error), nullptr);
    EXPECT_EQ(error, kSectionBadHeader);

    EXPECT_EQ(UnCompress(nullptr, &error), nullptr);
    EXPECT_EQ(error, kSectionNoStream);
    EXPECT_EQ(ExpandSectionBlock(block.data(), 4, nullptr), nullptr);  // no out-parameter
}

TEST(SectionStore, ShortStreamIsCodeFiveWithMessage) {
    std::vector<uint8_t> block = BlockOf(MakeSectionResource(SampleSectionText(), 21));
    block[3]++;  // one byte more than the stream produces
    MessageCapture messages;
    int error = 0;
    EXPECT_EQ(ExpandBlock(block, &error), nullptr);
    EXPECT_EQ(error, kSectionBadStream);
    EXPECT_EQ(messages.count, 1);
    EXPECT_EQ(messages.last, "UnCompress() buffer error!");
}

TEST(SectionStore, LongerStreamStopsAtDeclaredLength) {
    std::vector<uint8_t> text = SampleSectionText();
    std::vector<uint8_t> block = BlockOf(MakeSectionResource(text, 21));
    block[3] = (uint8_t)(text.size() - 5);
    int error = 0;
    uint8_t* expanded = ExpandBlock(block, &error);
    ASSERT_NE(expanded, nullptr);
    EXPECT_EQ(memcmp(expanded, text.data(), text.size() - 5), 0);
    EXPECT_EQ(expanded[text.size() - 5], 0);
    PlatformFree(expanded);
}

TEST(SectionStore, OutOfMemoryIsCodeTwo) {
    std::vector<uint8_t> block = BlockOf(MakeSectionResource(SampleSectionText(), 21));
    FailAllocationsAfter(0);
    int error = 0;
    uint8_t* expanded = ExpandBlock(block, &error);
    FailAllocationsAfter(-1);
    EXPECT_EQ(expanded, nullptr);
    EXPECT_EQ(error, kSectionUnloadable);
}

TEST(SectionStore, WriterRefusesWhatTheHeaderCannotHold) {
    std::vector<uint8_t> tooLong(70000, 'a');
    std::vector<uint8_t> out(SectionResourceBound(tooLong.size()));
    EXPECT_EQ(BuildSectionResource(tooLong.data(), tooLong.size(), 1, 1, out.data()), 0u);
    EXPECT_EQ(BuildSectionResource(tooLong.data(), 0, 1, 1, out.data()), 0u);
}
