// libFuzzer target: arbitrary bytes as a book file. The reader's first look
// at the headers and the tools' PE reader take them; whatever resources come
// out are checked as the reader checks a book before it opens it, and must
// come back unchanged from a module written around them.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include "content/book_check.h"
#include "platform/host_resources.h"
#include "platform/module_header.h"
#include "platform/services.h"
#include "tools/book/book_tree.h"

namespace {

void Ignore(const char*, void*) {}

void CheckResources(const ResourceSet& resources) {
    ClearHostResources();
    for (const auto& resource : resources)
        RegisterHostResource(resource.first, resource.second.data(), (uint32_t)resource.second.size());
    BookInfo info;
    BookCheck check = CheckBookResources(&info);
    char text[256];
    DescribeBookCheck(check, text, sizeof text);
    ClearHostResources();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetMessageSink(Ignore, nullptr);
    uint64_t needed = 0;
    CheckModuleHeader(data, size < kModuleHeadBytes ? size : kModuleHeadBytes, size, &needed);
    std::vector<uint8_t> image(data, data + size);
    ResourceSet resources;
    std::string error;
    if (ReadPeRawDataResources(image, &resources, &error) && !resources.empty()) {
        CheckResources(resources);
        std::vector<uint8_t> written;
        if (BuildResourceModule(resources, &written, &error)) {
            ResourceSet again;
            if (!ReadPeRawDataResources(written, &again, &error) || again != resources) abort();
            if (CheckModuleHeader(written.data(), written.size(), written.size(), nullptr) != kModuleUsable) abort();
        }
    }
    SetMessageSink(nullptr, nullptr);
    return 0;
}
