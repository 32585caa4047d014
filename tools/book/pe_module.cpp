// Writes a book file: an x86-64 DLL image with no code, only a resource
// section holding raw-data resources. Windows maps it with LoadLibraryExW as
// a data file and image resource and finds the resources with FindResource,
// as in the program itself. Every field is written here, so no compiler or
// linker is needed, on Linux or on Windows.
#include "tools/book/book_tree.h"

#include <string.h>

namespace {

const uint32_t kFileAlignment = 0x200;
const uint32_t kSectionAlignment = 0x1000;
const uint32_t kPeHeaderOffset = 0x40;
const uint32_t kOptionalHeaderBytes = 240;  // PE32+ with 16 data directories
const uint32_t kResourceRva = kSectionAlignment;
const uint32_t kHeadersBytes = kFileAlignment;  // DOS, PE, optional and one section header
const uint64_t kImageBase = 0x180000000ull;   // the usual base of a 64-bit DLL
const uint32_t kRawDataType = 10;
const uint32_t kDirectoryBytes = 16;
const uint32_t kEntryBytes = 8;
const uint32_t kDataEntryBytes = 16;
const uint32_t kSubdirFlag = 0x80000000u;
const uint32_t kDataAlignment = 8;
// The largest image we write: far beyond any book, well inside 32-bit offsets.
const uint64_t kMaxImageBytes = 0x40000000ull;

uint32_t AlignUp(uint32_t value, uint32_t alignment) { return (value + alignment - 1) / alignment * alignment; }

void Put16(std::vector<uint8_t>* out, size_t at, uint32_t value) {
    (*out)[at] = (uint8_t)value;
    (*out)[at + 1] = (uint8_t)(value >> 8);
}

void Put32(std::vector<uint8_t>* out, size_t at, uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

void Put64(std::vector<uint8_t>* out, size_t at, uint64_t value) {
    Put32(out, at, (uint32_t)value);
    Put32(out, at + 4, (uint32_t)(value >> 32));
}

// A directory with `idCount` entries named by number.
void PutDirectory(std::vector<uint8_t>* section, uint32_t at, uint32_t idCount) {
    Put16(section, at + 14, idCount);
}

void PutEntry(std::vector<uint8_t>* section, uint32_t at, uint32_t name, uint32_t target) {
    Put32(section, at, name);
    Put32(section, at + 4, target);
}

// The resource section: the type directory, one id directory, a language
// directory per resource, the data entries, then the bytes of each resource.
std::vector<uint8_t> BuildResourceSection(const ResourceSet& resources) {
    uint32_t count = (uint32_t)resources.size();
    uint32_t idDirectory = kDirectoryBytes + kEntryBytes;
    uint32_t languages = idDirectory + kDirectoryBytes + kEntryBytes * count;
    uint32_t dataEntries = languages + (kDirectoryBytes + kEntryBytes) * count;
    uint32_t data = AlignUp(dataEntries + kDataEntryBytes * count, kDataAlignment);
    uint32_t size = data;
    for (const auto& entry : resources) size = AlignUp(size + (uint32_t)entry.second.size(), kDataAlignment);

    std::vector<uint8_t> section(size, 0);
    PutDirectory(&section, 0, 1);
    PutEntry(&section, kDirectoryBytes, kRawDataType, kSubdirFlag | idDirectory);
    PutDirectory(&section, idDirectory, count);
    uint32_t i = 0;
    uint32_t at = data;
    // A map keeps the ids ascending, the order the loader's search expects.
    for (const auto& entry : resources) {
        uint32_t language = languages + (kDirectoryBytes + kEntryBytes) * i;
        uint32_t dataEntry = dataEntries + kDataEntryBytes * i;
        PutEntry(&section, idDirectory + kDirectoryBytes + kEntryBytes * i, entry.first, kSubdirFlag | language);
        PutDirectory(&section, language, 1);
        PutEntry(&section, language + kDirectoryBytes, 0, dataEntry);  // language neutral
        Put32(&section, dataEntry, kResourceRva + at);
        Put32(&section, dataEntry + 4, (uint32_t)entry.second.size());
        if (!entry.second.empty()) memcpy(section.data() + at, entry.second.data(), entry.second.size());
        at = AlignUp(at + (uint32_t)entry.second.size(), kDataAlignment);
        i++;
    }
    return section;
}

void PutHeaders(std::vector<uint8_t>* image, uint32_t resourceBytes, uint32_t rawBytes) {
    Put16(image, 0, 0x5A4D);  // "MZ"
    Put32(image, 0x3C, kPeHeaderOffset);
    Put32(image, kPeHeaderOffset, 0x00004550);  // "PE\0\0"
    size_t coff = kPeHeaderOffset + 4;
    Put16(image, coff, 0x8664);  // x86-64
    Put16(image, coff + 2, 1);   // one section
    Put16(image, coff + 16, kOptionalHeaderBytes);
    Put16(image, coff + 18, 0x2022);  // executable image, large addresses, DLL
    size_t optional = coff + 20;
    Put16(image, optional, 0x20B);  // PE32+
    (*image)[optional + 2] = 1;     // linker version 1.0
    Put32(image, optional + 8, rawBytes);  // initialised data
    Put64(image, optional + 24, kImageBase);
    Put32(image, optional + 32, kSectionAlignment);
    Put32(image, optional + 36, kFileAlignment);
    Put16(image, optional + 40, 6);  // operating system 6.0
    Put16(image, optional + 48, 6);  // subsystem 6.0
    Put32(image, optional + 56, kResourceRva + AlignUp(resourceBytes, kSectionAlignment));
    Put32(image, optional + 60, kHeadersBytes);
    Put16(image, optional + 68, 2);       // Windows GUI
    Put16(image, optional + 70, 0x0160);  // high-entropy and dynamic base, no execution
    Put64(image, optional + 72, 0x100000);  // stack reserve and commit, heap reserve and commit
    Put64(image, optional + 80, 0x1000);
    Put64(image, optional + 88, 0x100000);
    Put64(image, optional + 96, 0x1000);
    Put32(image, optional + 108, 16);  // data directories
    Put32(image, optional + 112 + 8 * 2, kResourceRva);
    Put32(image, optional + 112 + 8 * 2 + 4, resourceBytes);
    size_t header = optional + kOptionalHeaderBytes;
    memcpy(image->data() + header, ".rsrc", 5);
    Put32(image, header + 8, resourceBytes);
    Put32(image, header + 12, kResourceRva);
    Put32(image, header + 16, rawBytes);
    Put32(image, header + 20, kHeadersBytes);
    Put32(image, header + 36, 0x40000040);  // initialised data, readable
}

}  // namespace

bool BuildResourceModule(const ResourceSet& resources, std::vector<uint8_t>* image, std::string* error) {
    uint64_t total = 0;
    for (const auto& entry : resources) total += entry.second.size() + kDataAlignment + 64;
    if (resources.empty() || total > kMaxImageBytes) {
        *error = resources.empty() ? "no resources to write" : "the book is too large for one file";
        return false;
    }
    std::vector<uint8_t> section = BuildResourceSection(resources);
    uint32_t rawBytes = AlignUp((uint32_t)section.size(), kFileAlignment);
    image->assign(kHeadersBytes + rawBytes, 0);
    PutHeaders(image, (uint32_t)section.size(), rawBytes);
    memcpy(image->data() + kHeadersBytes, section.data(), section.size());
    return true;
}
