// Index texts built record by record, for the index and grid tests.
#pragma once

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "navigation/index_records.h"
#include "platform/services.h"

struct IndexBuilder {
    std::vector<uint8_t> bytes;

    IndexBuilder& Add(uint16_t id, uint8_t style, uint8_t indent, const std::string& text) {
        bytes.push_back((uint8_t)(id & 0xFF));
        bytes.push_back((uint8_t)(id >> 8));
        bytes.push_back(style);
        bytes.push_back(indent);
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
        return *this;
    }
    IndexBuilder& Link(uint16_t section, const std::string& text, uint8_t indent = 2, uint8_t style = 0x81) {
        return Add((uint16_t)(section | kIndexLinkBit), style, indent, text);
    }
    IndexBuilder& End() {
        bytes.insert(bytes.end(), kIndexEndBytes, 0);
        return *this;
    }
    // A PlatformAlloc copy of exactly the bytes built, owned by the caller.
    IndexText Take() const {
        uint8_t* copy = (uint8_t*)PlatformAlloc(bytes.size());
        memcpy(copy, bytes.data(), bytes.size());
        return IndexText{copy, (uint32_t)bytes.size()};
    }
};
