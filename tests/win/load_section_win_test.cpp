// LoadSectionText against real RCDATA resources compiled into this program.
#include <gtest/gtest.h>

#include <string.h>

#include "content/section_store.h"
#include "platform/services.h"
#include "tests/common/message_capture.h"
#include "tests/common/sample_sections.h"

TEST(LoadSectionWin32, EveryTestResourceGivesItsResult) {
    MessageCapture messages;
    for (const TestResource& resource : TestResources()) {
        int error = 0;
        uint8_t* text = LoadSectionText(resource.id - 1000, &error);
        if (resource.expectedError == 0) {
            ASSERT_NE(text, nullptr) << resource.id << " error " << error;
            EXPECT_EQ(memcmp(text, resource.text.data(), resource.text.size()), 0) << resource.id;
            EXPECT_EQ(text[resource.text.size()], 0);
            PlatformFree(text);
        } else {
            EXPECT_EQ(text, nullptr) << resource.id;
            EXPECT_EQ(error, resource.expectedError) << resource.id;
        }
    }
    EXPECT_EQ(messages.count, 1);  // only the short stream shows a message
}

TEST(LoadSectionWin32, MissingResourceIsCodeOne) {
    int error = 0;
    EXPECT_EQ(LoadSectionText(357, &error), nullptr);
    EXPECT_EQ(error, kSectionNoResource);
    EXPECT_EQ(LoadSectionText(30000, &error), nullptr);
    EXPECT_EQ(error, kSectionNoResource);
}
