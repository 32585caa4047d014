#include "tools/book/book_tree.h"

#include <stdio.h>
#include <string.h>

#include "content/section_store.h"
#include "platform/host_resources.h"
#include "platform/services.h"

namespace {

const char kIndexFile[] = "index.txt";
const uint16_t kIndexReserved1 = 1;
const uint16_t kIndexReserved2 = 255;
const int kReservedOffset = 20;  // stored sections carry their number plus 20

bool BuildResource(const std::vector<uint8_t>& text, uint16_t reserved1, uint16_t reserved2,
                   std::vector<uint8_t>* resource) {
    resource->assign(SectionResourceBound(text.size()), 0);
    size_t size = BuildSectionResource(text.data(), text.size(), reserved1, reserved2, resource->data());
    resource->resize(size);
    return size != 0;
}

void AddFileError(BookDiagnostics* diagnostics, const std::string& file, const std::string& reason) {
    diagnostics->push_back(BookDiagnostic{file, 0, reason});
}

// Names that look like pair files but are not one of the 178.
void CheckFileNames(const SourceFiles& files, BookDiagnostics* diagnostics) {
    for (const auto& entry : files) {
        const std::string& name = entry.first;
        if (name == kIndexFile) continue;
        bool known = false;
        for (int n = 1; n <= kLastSectionNumber && !known; n += 2) known = name == PairFileName(n);
        if (!known)
            AddFileError(diagnostics, name,
                         "not part of the book: pair files are named by their main section's odd number, 001.txt to 355.txt");
    }
}

bool CompilePair(const SourceFiles& files, int mainSection, ResourceSet* resources, BookDiagnostics* diagnostics) {
    std::string name = PairFileName(mainSection);
    auto found = files.find(name);
    if (found == files.end()) {
        AddFileError(diagnostics, name,
                     "missing: sections " + std::to_string(mainSection) + " and " + std::to_string(mainSection + 1) +
                         " have no source");
        return false;
    }
    SectionPair pair;
    if (!ParsePairSource(name, found->second, &pair, diagnostics)) return false;
    const std::vector<uint8_t>* texts[2] = {&pair.mainText, &pair.commentaryText};
    for (int i = 0; i < 2; i++) {
        int section = mainSection + i;
        uint16_t reserved = (uint16_t)(section + kReservedOffset);
        std::vector<uint8_t>& resource = (*resources)[(uint16_t)(1000 + section)];
        if (!BuildResource(*texts[i], reserved, reserved, &resource)) {
            AddFileError(diagnostics, name,
                         "section " + std::to_string(section) +
                             " does not fit a resource: compressed, it needs more than the 65527 bytes a resource holds");
            return false;
        }
    }
    return true;
}

void IgnoreMessage(const char*, void*) {}

const char* ErrorMeaning(int error) {
    switch (error) {
        case kSectionNoResource: return "no such resource";
        case kSectionUnloadable: return "empty or unloadable";
        case kSectionBadHeader: return "bad header";
        case kSectionNoStream: return "no stream";
        case kSectionBadStream: return "the stream does not expand to its declared length";
        default: return "damaged";
    }
}

// Expands a resource through the section store itself, so that the tool
// accepts exactly what the reader accepts.
bool ExpandThroughStore(uint16_t id, const std::vector<uint8_t>& resource, std::vector<uint8_t>* text, int* error) {
    ClearHostResources();
    RegisterHostResource(id, resource.data(), (uint32_t)resource.size());
    SetMessageSink(IgnoreMessage, nullptr);
    *error = 0;
    uint8_t* expanded = LoadSectionText(id - 1000, error);
    SetMessageSink(nullptr, nullptr);
    ClearHostResources();
    if (!expanded) return false;
    size_t length = (size_t)(resource[8] << 8 | resource[9]);
    text->assign(expanded, expanded + length);
    PlatformFree(expanded);
    return true;
}

}  // namespace

std::string PairFileName(int mainSection) {
    char name[16];
    snprintf(name, sizeof name, "%03d.txt", mainSection);
    return name;
}

bool CompileBook(const SourceFiles& files, ResourceSet* resources, BookDiagnostics* diagnostics) {
    size_t errorsBefore = diagnostics->size();
    resources->clear();
    CheckFileNames(files, diagnostics);
    for (int n = 1; n <= kLastSectionNumber; n += 2) CompilePair(files, n, resources, diagnostics);
    auto index = files.find(kIndexFile);
    std::vector<uint8_t> indexText;
    if (index == files.end()) {
        AddFileError(diagnostics, kIndexFile, "missing: the book needs its outline");
    } else if (ParseIndexSource(kIndexFile, index->second, &indexText, diagnostics) &&
               !BuildResource(indexText, kIndexReserved1, kIndexReserved2, &(*resources)[kIndexResource])) {
        AddFileError(diagnostics, kIndexFile,
                     "the index does not fit a resource: compressed, it needs more than the 65527 bytes a resource holds");
    }
    if (diagnostics->size() == errorsBefore) return true;
    resources->clear();
    return false;
}

std::vector<uint8_t> ExpandResource(const std::vector<uint8_t>& resource, int* error) {
    std::vector<uint8_t> text;
    ExpandThroughStore(kFirstSectionResource, resource, &text, error);
    return text;
}

bool DecompileBook(const ResourceSet& resources, SourceFiles* files, std::string* error) {
    files->clear();
    std::vector<uint16_t> ids;
    for (uint16_t id = kFirstSectionResource; id <= kLastSectionResource; id++) ids.push_back(id);
    ids.push_back(kIndexResource);
    std::map<uint16_t, std::string> sources;
    for (uint16_t id : ids) {
        auto found = resources.find(id);
        std::string where = "resource " + std::to_string(id);
        if (found == resources.end()) {
            *error = where + ": missing";
            return false;
        }
        std::vector<uint8_t> text;
        int code = 0;
        if (!ExpandThroughStore(id, found->second, &text, &code)) {
            *error = where + ": error " + std::to_string(code) + " (" + ErrorMeaning(code) + ")";
            return false;
        }
        std::string reason;
        bool ok = id == kIndexResource ? IndexTextToSource(text.data(), text.size(), &sources[id], &reason)
                                       : SectionTextToSource(text.data(), text.size(), &sources[id], &reason);
        if (!ok) {
            *error = where + ": " + reason;
            return false;
        }
    }
    (*files)[kIndexFile] = sources[kIndexResource];
    for (int n = 1; n <= kLastSectionNumber; n += 2) {
        std::string header = "# Sections " + std::to_string(n) + " and " + std::to_string(n + 1) + "\n\n";
        (*files)[PairFileName(n)] = header + sources[(uint16_t)(1000 + n)] + "@commentary\n\n" +
                                    sources[(uint16_t)(1000 + n + 1)];
    }
    return true;
}
