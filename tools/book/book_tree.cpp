#include "tools/book/book_tree.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "content/section_store.h"
#include "platform/host_resources.h"
#include "platform/services.h"

namespace {

const char kIndexFile[] = "index.txt";
const char kInfoFile[] = "book.txt";
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

// The main section a pair file's name gives, or 0 when it names none.
int PairFileSection(const std::string& name) {
    size_t digits = name.find_first_not_of("0123456789");
    if (digits == 0 || digits > 5 || name.compare(digits, std::string::npos, ".txt") != 0) return 0;
    int section = atoi(name.c_str());
    if (section % 2 == 0 || section >= kMostSections || PairFileName(section) != name) return 0;
    return section;
}

// Checks the names of the tree and counts its pairs: the pair files run from
// 001.txt without a gap. Returns the count of pairs to compile (the files up
// to the last one); gaps and strange names are reported.
int CountPairFiles(const SourceFiles& files, BookDiagnostics* diagnostics) {
    int last = 0;
    for (const auto& entry : files) {
        const std::string& name = entry.first;
        if (name == kIndexFile || name == kInfoFile) continue;
        int section = PairFileSection(name);
        if (section > last) last = section;
        if (!section)
            AddFileError(diagnostics, name,
                         "not part of the book: pair files are named by their main section's odd number, 001.txt, "
                         "003.txt and on to 31765.txt at most");
    }
    if (!last) AddFileError(diagnostics, PairFileName(1), "missing: a book needs at least one pair, 001.txt");
    return (last + 1) / 2;
}

bool CompilePair(const SourceFiles& files, int mainSection, ResourceSet* resources, BookDiagnostics* diagnostics) {
    std::string name = PairFileName(mainSection);
    auto found = files.find(name);
    if (found == files.end()) {
        AddFileError(diagnostics, name,
                     "missing: sections " + std::to_string(mainSection) + " and " + std::to_string(mainSection + 1) +
                         " have no source (the pair files run from 001.txt without a gap)");
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

// The book information, or for a program without it (built before there was
// one) the pairs that its section resources make from 1001 on.
bool ReadBookInfo(const ResourceSet& resources, BookInfo* info, std::string* error) {
    auto found = resources.find(kBookInfoResource);
    if (found != resources.end()) {
        if (ParseBookInfo(found->second.data(), found->second.size(), info)) return true;
        *error = "resource " + std::to_string(kBookInfoResource) + ": the book information is damaged";
        return false;
    }
    memset(info, 0, sizeof *info);
    while (info->pairs < kBookInfoMaxPairs && resources.count((uint16_t)(1000 + 2 * info->pairs + 1)) &&
           resources.count((uint16_t)(1000 + 2 * info->pairs + 2)))
        info->pairs++;
    if (info->pairs) return true;
    *error = "resource " + std::to_string(kFirstSectionResource) + ": missing";
    return false;
}

}  // namespace

std::string PairFileName(int mainSection) {
    char name[16];
    snprintf(name, sizeof name, "%03d.txt", mainSection);
    return name;
}

namespace {

// The book information: book.txt's keys and the count of pairs.
void CompileInfo(const SourceFiles& files, int pairs, ResourceSet* resources, BookDiagnostics* diagnostics) {
    BookInfo info;
    memset(&info, 0, sizeof info);
    auto source = files.find(kInfoFile);
    if (source != files.end() && !ParseBookInfoSource(kInfoFile, source->second, &info, diagnostics)) return;
    info.pairs = pairs;
    std::vector<uint8_t>& resource = (*resources)[kBookInfoResource];
    resource.assign(kBookInfoMaxBytes, 0);
    resource.resize(FormatBookInfo(&info, resource.data(), resource.size()));
    if (resource.empty()) AddFileError(diagnostics, kInfoFile, "the book information does not fit its resource");
}

}  // namespace

bool CompileBook(const SourceFiles& files, ResourceSet* resources, BookDiagnostics* diagnostics) {
    size_t errorsBefore = diagnostics->size();
    resources->clear();
    int pairs = CountPairFiles(files, diagnostics);
    for (int n = 1; n <= 2 * pairs; n += 2) CompilePair(files, n, resources, diagnostics);
    auto index = files.find(kIndexFile);
    std::vector<uint8_t> indexText;
    if (index == files.end()) {
        AddFileError(diagnostics, kIndexFile, "missing: the book needs its outline");
    } else if (ParseIndexSource(kIndexFile, index->second, 2 * pairs, &indexText, diagnostics) &&
               !BuildResource(indexText, kIndexReserved1, kIndexReserved2, &(*resources)[kIndexResource])) {
        AddFileError(diagnostics, kIndexFile,
                     "the index does not fit a resource: compressed, it needs more than the 65527 bytes a resource holds");
    }
    if (pairs) CompileInfo(files, pairs, resources, diagnostics);
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
    BookInfo info;
    if (!ReadBookInfo(resources, &info, error)) return false;
    int lastSection = 2 * info.pairs;
    std::vector<uint16_t> ids;
    for (int n = 1; n <= lastSection; n++) ids.push_back((uint16_t)(1000 + n));
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
        bool ok = id == kIndexResource
                      ? IndexTextToSource(text.data(), text.size(), lastSection, &sources[id], &reason)
                      : SectionTextToSource(text.data(), text.size(), &sources[id], &reason);
        if (!ok) {
            *error = where + ": " + reason;
            return false;
        }
    }
    (*files)[kIndexFile] = sources[kIndexResource];
    if (HasBookDescription(info)) (*files)[kInfoFile] = BookInfoToSource(info);
    for (int n = 1; n <= lastSection; n += 2) {
        std::string header = "# Sections " + std::to_string(n) + " and " + std::to_string(n + 1) + "\n\n";
        (*files)[PairFileName(n)] = header + sources[(uint16_t)(1000 + n)] + "@commentary\n\n" +
                                    sources[(uint16_t)(1000 + n + 1)];
    }
    return true;
}
