// Reads the raw-data resources of a Win32 program (PE image). Every offset
// and count in the image is checked before use: the file may be anything.
#include <stddef.h>

#include "tools/book/book_tree.h"

namespace {

const uint32_t kRawDataType = 10;
const uint32_t kSubdirFlag = 0x80000000u;  // entry points at another directory
const uint32_t kResourceTableIndex = 2;
const int kMaxDirectoryEntries = 4096;
const uint32_t kMaxResourceId = 0xFFFF;

struct PeReader {
    const std::vector<uint8_t>* image;
    bool ok;
};

uint32_t Read16(PeReader* r, size_t at) {
    if (at + 2 > r->image->size()) {
        r->ok = false;
        return 0;
    }
    const uint8_t* p = r->image->data() + at;
    return (uint32_t)(p[0] | p[1] << 8);
}

uint32_t Read32(PeReader* r, size_t at) {
    return Read16(r, at) | Read16(r, at + 2) << 16;
}

struct ImageSection {
    uint32_t virtualAddress;
    uint32_t virtualSize;
    uint32_t rawSize;
    uint32_t rawOffset;
};

struct PeLayout {
    std::vector<ImageSection> sections;
    uint32_t resourceRva;
    uint32_t resourceSize;
};

bool ReadLayout(PeReader* r, PeLayout* layout, std::string* error) {
    if (Read16(r, 0) != 0x5A4D) {  // "MZ"
        *error = "neither a resource directory nor a Win32 program";
        return false;
    }
    size_t pe = Read32(r, 0x3C);
    if (Read32(r, pe) != 0x00004550) {  // "PE\0\0"
        *error = "not a Win32 program (no PE header)";
        return false;
    }
    size_t coff = pe + 4;
    uint32_t sectionCount = Read16(r, coff + 2);
    uint32_t optionalSize = Read16(r, coff + 16);
    size_t optional = coff + 20;
    uint32_t magic = Read16(r, optional);
    size_t directories = magic == 0x20B ? optional + 112 : optional + 96;
    uint32_t directoryCount = Read32(r, directories - 4);
    if (!r->ok || (magic != 0x10B && magic != 0x20B) || directoryCount <= kResourceTableIndex) {
        *error = "damaged PE header";
        return false;
    }
    layout->resourceRva = Read32(r, directories + 8 * kResourceTableIndex);
    layout->resourceSize = Read32(r, directories + 8 * kResourceTableIndex + 4);
    size_t table = optional + optionalSize;
    for (uint32_t i = 0; i < sectionCount && r->ok; i++) {
        size_t at = table + 40 * (size_t)i;
        layout->sections.push_back(
            ImageSection{Read32(r, at + 12), Read32(r, at + 8), Read32(r, at + 16), Read32(r, at + 20)});
    }
    if (!r->ok) *error = "damaged section table";
    return r->ok;
}

// File offset of `count` bytes at an address of the loaded image.
bool MapAddress(const PeReader* r, const PeLayout& layout, uint32_t rva, uint32_t count, size_t* offset) {
    for (const ImageSection& s : layout.sections) {
        if (rva < s.virtualAddress) continue;
        uint64_t inside = (uint64_t)rva - s.virtualAddress;
        if (inside + count > s.rawSize) continue;
        uint64_t at = (uint64_t)s.rawOffset + inside;
        if (at + count > r->image->size()) return false;
        *offset = (size_t)at;
        return true;
    }
    return false;
}

struct DirectoryEntry {
    uint32_t name;
    uint32_t target;
};

// Entries of the resource directory at `at` (an offset into the resource data).
bool ReadDirectory(PeReader* r, size_t base, uint32_t size, uint32_t at, std::vector<DirectoryEntry>* entries) {
    entries->clear();
    if ((uint64_t)at + 16 > size) return false;
    uint32_t named = Read16(r, base + at + 12);
    uint32_t ids = Read16(r, base + at + 14);
    if (named + ids > kMaxDirectoryEntries || (uint64_t)at + 16 + 8 * (uint64_t)(named + ids) > size) return false;
    for (uint32_t i = 0; i < named + ids; i++) {
        size_t entry = base + at + 16 + 8 * (size_t)i;
        entries->push_back(DirectoryEntry{Read32(r, entry), Read32(r, entry + 4)});
    }
    return r->ok;
}

// The data of the first language of one resource.
bool ReadResourceData(PeReader* r, const PeLayout& layout, size_t base, uint32_t size, uint32_t target,
                      std::vector<uint8_t>* data) {
    std::vector<DirectoryEntry> languages;
    if (!(target & kSubdirFlag) || !ReadDirectory(r, base, size, target & ~kSubdirFlag, &languages) ||
        languages.empty() || (languages[0].target & kSubdirFlag) || (uint64_t)languages[0].target + 16 > size)
        return false;
    size_t dataEntry = base + languages[0].target;
    uint32_t rva = Read32(r, dataEntry);
    uint32_t count = Read32(r, dataEntry + 4);
    size_t offset = 0;
    if (!r->ok || !MapAddress(r, layout, rva, count, &offset)) return false;
    data->assign(r->image->begin() + (ptrdiff_t)offset, r->image->begin() + (ptrdiff_t)(offset + count));
    return true;
}

}  // namespace

bool ReadPeRawDataResources(const std::vector<uint8_t>& image, ResourceSet* resources, std::string* error) {
    PeReader reader = {&image, true};
    PeLayout layout;
    if (!ReadLayout(&reader, &layout, error)) return false;
    size_t base = 0;
    std::vector<DirectoryEntry> types, ids;
    if (!layout.resourceRva || !MapAddress(&reader, layout, layout.resourceRva, layout.resourceSize, &base) ||
        !ReadDirectory(&reader, base, layout.resourceSize, 0, &types)) {
        *error = "the program has no readable resources";
        return false;
    }
    for (const DirectoryEntry& type : types) {
        if (type.name != kRawDataType) continue;
        if (!(type.target & kSubdirFlag) ||
            !ReadDirectory(&reader, base, layout.resourceSize, type.target & ~kSubdirFlag, &ids)) {
            *error = "damaged resource directory";
            return false;
        }
        for (const DirectoryEntry& id : ids) {
            if (id.name > kMaxResourceId) continue;  // named, or not an id a program can ask for
            std::vector<uint8_t> data;
            if (!ReadResourceData(&reader, layout, base, layout.resourceSize, id.target, &data)) {
                *error = "damaged resource " + std::to_string(id.name);
                return false;
            }
            (*resources)[(uint16_t)id.name] = data;
        }
    }
    return true;
}
