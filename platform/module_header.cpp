#include "platform/module_header.h"

namespace {

const uint32_t kMaxSections = 96;  // the most the system's loader takes
const uint32_t kResourceDirectory = 2;
const uint32_t kLibraryFlag = 0x2000;  // IMAGE_FILE_DLL

struct HeadReader {
    const uint8_t* bytes;
    size_t count;
    bool ok;
};

uint32_t Read16(HeadReader* r, uint64_t at) {
    if (at > r->count || r->count - at < 2) {
        r->ok = false;
        return 0;
    }
    return (uint32_t)(r->bytes[at] | r->bytes[at + 1] << 8);
}

uint32_t Read32(HeadReader* r, uint64_t at) { return Read16(r, at) | Read16(r, at + 2) << 16; }

}  // namespace

int CheckModuleHeader(const uint8_t* head, size_t headBytes, uint64_t fileBytes, uint64_t* neededBytes) {
    HeadReader r = {head, head ? headBytes : 0, true};
    if (Read16(&r, 0) != 0x5A4D) return kModuleNotModule;  // "MZ"
    uint64_t pe = Read32(&r, 0x3C);
    if (!r.ok || Read32(&r, pe) != 0x00004550) return kModuleNotModule;  // "PE\0\0"
    uint64_t coff = pe + 4;
    uint32_t sectionCount = Read16(&r, coff + 2);
    uint32_t optionalBytes = Read16(&r, coff + 16);
    uint32_t characteristics = Read16(&r, coff + 18);
    uint64_t optional = coff + 20;
    uint32_t magic = Read16(&r, optional);
    if (!r.ok || (magic != 0x10B && magic != 0x20B) || sectionCount == 0 || sectionCount > kMaxSections)
        return kModuleNotModule;
    uint64_t directories = optional + (magic == 0x20B ? 112 : 96);
    uint32_t directoryCount = Read32(&r, directories - 4);
    if (!r.ok || directories + 8 * (uint64_t)directoryCount > optional + optionalBytes) return kModuleNotModule;
    uint32_t resourceRva = directoryCount > kResourceDirectory ? Read32(&r, directories + 8 * kResourceDirectory) : 0;
    uint64_t table = optional + optionalBytes;
    uint64_t needed = 0;
    for (uint32_t i = 0; i < sectionCount; i++) {
        uint64_t at = table + 40 * (uint64_t)i;
        uint64_t rawSize = Read32(&r, at + 16);
        uint64_t rawOffset = Read32(&r, at + 20);
        if (rawSize && rawOffset + rawSize > needed) needed = rawOffset + rawSize;
    }
    if (!r.ok) return kModuleNotModule;
    if (needed > fileBytes) {
        if (neededBytes) *neededBytes = needed;
        return kModuleTruncated;
    }
    if (!(characteristics & kLibraryFlag)) return kModuleProgram;
    return resourceRva ? kModuleUsable : kModuleNoResources;
}
