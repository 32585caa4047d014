// LoadSectionText against the native build's resource table: lookups and the
// checks on a resource's own size.
#include <gtest/gtest.h>

#include <string.h>

#include "content/section_store.h"
#include "platform/host_resources.h"
#include "platform/services.h"
#include "tests/common/sample_sections.h"

TEST(LoadSectionHost, NumbersBelowOneLeaveTheCodeAlone) {
    int error = 77;
    EXPECT_EQ(LoadSectionText(0, &error), nullptr);
    EXPECT_EQ(LoadSectionText(-5, &error), nullptr);
    EXPECT_EQ(error, 77);
}

TEST(LoadSectionHost, ChecksTheResourceAgainstItsHeader) {
    ClearHostResources();
    std::vector<uint8_t> good = MakeSectionResource(SampleSectionText(), 21);
    std::vector<uint8_t> truncated(good.begin(), good.end() - 5);  // block claims 5 bytes more
    std::vector<uint8_t> tiny(good.begin(), good.begin() + 5);
    RegisterHostResource(1001, good.data(), (uint32_t)good.size());
    RegisterHostResource(1003, truncated.data(), (uint32_t)truncated.size());
    RegisterHostResource(1005, tiny.data(), (uint32_t)tiny.size());
    RegisterHostResource(1007, good.data(), 0);

    int error = 0;
    uint8_t* text = LoadSectionText(1, &error);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(memcmp(text, SampleSectionText().data(), SampleSectionText().size()), 0);
    PlatformFree(text);

    EXPECT_EQ(LoadSectionText(3, &error), nullptr);
    EXPECT_EQ(error, kSectionBadHeader);
    EXPECT_EQ(LoadSectionText(5, &error), nullptr);
    EXPECT_EQ(error, kSectionBadHeader);
    EXPECT_EQ(LoadSectionText(7, &error), nullptr);
    EXPECT_EQ(error, kSectionUnloadable);
    EXPECT_EQ(LoadSectionText(357, &error), nullptr);
    EXPECT_EQ(error, kSectionNoResource);
    ClearHostResources();
}
