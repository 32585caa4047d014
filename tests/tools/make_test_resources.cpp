// Writes the Win32 tests' raw-data resources and the .rc file that embeds them:
//   make_test_resources OUTPUT_DIR
#include <stdio.h>
#include <string.h>

#include <string>

#include "content/book_info.h"
#include "tests/common/sample_sections.h"

namespace {

// The book information the About box's test reads: a title and two sources.
bool WriteBookInfo(const std::string& dir, FILE* rc) {
    static BookInfo info;
    info.pairs = 3;
    strcpy(info.id, "test-book");
    strcpy(info.title, "Test Book");
    strcpy(info.text.title, "Example Text");
    strcpy(info.text.edition, "Test Edition 1913");
    strcpy(info.text.source, "http://example.org/text");
    strcpy(info.text.license, "CC-BY");
    strcpy(info.commentary.heTitle, "\xD7\xA4\xD7\x99\xD7\xA8\xD7\x95\xD7\xA9");  // in Hebrew only
    static uint8_t bytes[kBookInfoMaxBytes];
    size_t count = FormatBookInfo(&info, bytes, sizeof bytes);
    std::string path = dir + "/book_info.bin";
    FILE* bin = fopen(path.c_str(), "wb");
    bool ok = count && bin && fwrite(bytes, 1, count, bin) == count;
    if (bin) ok = fclose(bin) == 0 && ok;
    if (ok) fprintf(rc, "%u RCDATA \"%s\"\n", kBookInfoResource, path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_test_resources OUTPUT_DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    std::string rcPath = dir + "/test_resources.rc";
    FILE* rc = fopen(rcPath.c_str(), "w");
    if (!rc) {
        perror(rcPath.c_str());
        return 1;
    }
    for (const TestResource& resource : TestResources()) {
        std::string binPath = dir + "/section" + std::to_string(resource.id) + ".bin";
        FILE* bin = fopen(binPath.c_str(), "wb");
        if (!bin || fwrite(resource.bytes.data(), 1, resource.bytes.size(), bin) != resource.bytes.size()) {
            perror(binPath.c_str());
            if (bin) fclose(bin);
            fclose(rc);
            return 1;
        }
        fclose(bin);
        fprintf(rc, "%u RCDATA \"%s\"\n", resource.id, binPath.c_str());
    }
    bool ok = WriteBookInfo(dir, rc);
    return fclose(rc) == 0 && ok ? 0 : 1;
}
