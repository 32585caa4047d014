// Writes the Win32 tests' raw-data resources and the .rc file that embeds them:
//   make_test_resources OUTPUT_DIR
#include <stdio.h>

#include <string>

#include "tests/common/sample_sections.h"

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
    return fclose(rc) == 0 ? 0 : 1;
}
