// The import's benchmark, in the native build beside lorvan-book: a
// generated export of 1,000 segments (50 chapters of 20), three comments on
// each, imported into a tree on disk. Prints "name: value" lines: import_ms,
// and beside it from the same runs, import_in_memory_ms (the tree built and
// checked, not yet written) and as a baseline import_compile_ms, the compile
// of the tree alone, which the import runs to check what it writes. The
// median of five runs each.
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/book/import.h"

namespace {

const int kChapters = 50;
const int kSegmentsPerChapter = 20;
const int kCommentsPerSegment = 3;
const int kRuns = 5;

// A pointed, cantillated verse with a maqaf and sof pasuq, varied by its place.
std::string Verse(int chapter, int segment) {
    std::string verse = "<b>בְּרֵאשִׁ֖ית</b> בָּרָ֣א אֱלֹהִ֑ים אֵ֥ת הַשָּׁמַ֖יִם־וְאֵ֥ת הָאָֽרֶץ׃";
    for (int i = 0; i < (chapter + segment) % 4; i++) verse += " וְהָאָ֗רֶץ הָיְתָ֥ה תֹ֙הוּ֙ וָבֹ֔הוּ";
    return verse;
}

std::string Comment(int k) {
    static const char* const kComments[] = {
        "<b>בראשית.</b> אמר רבי יצחק לא היה צריך להתחיל את התורה אלא מהחדש הזה לכם",
        "ד\"א <i>בשביל</i> התורה שנקראת ראשית דרכו<sup class=\"footnote-marker\">1</sup><i class=\"footnote\">הערה</i>",
        "ואם תאמר &quot;מה&quot; טעם, יש לומר<br>שכך היה"};
    return kComments[k % 3];
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"' || ch == '\\') out.push_back('\\');
        out.push_back(ch);
    }
    return out + "\"";
}

void GenerateExport(std::string* text, std::string* commentary) {
    *text = "{\"title\": \"Bench\", \"heTitle\": \"מבחן\", \"versionTitle\": \"Generated\", \"license\": \"CC0\", "
            "\"sectionNames\": [\"Chapter\", \"Verse\"], \"text\": [";
    *commentary = "{\"title\": \"Rav on Bench\", \"heTitle\": \"פירוש\", \"versionTitle\": \"Generated\", "
                  "\"license\": \"CC0\", \"sectionNames\": [\"Chapter\", \"Verse\", \"Comment\"], \"text\": [";
    for (int c = 0; c < kChapters; c++) {
        *text += c ? ", [" : "[";
        *commentary += c ? ", [" : "[";
        for (int s = 0; s < kSegmentsPerChapter; s++) {
            *text += (s ? ", " : "") + Quoted(Verse(c, s));
            *commentary += s ? ", [" : "[";
            for (int k = 0; k < kCommentsPerSegment; k++) *commentary += (k ? ", " : "") + Quoted(Comment(s + k));
            *commentary += "]";
        }
        *text += "]";
        *commentary += "]";
    }
    *text += "]}";
    *commentary += "]}";
}

double Milliseconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    ImportInput in;
    in.textName = "text.json";
    in.commentaryName = "commentary.json";
    GenerateExport(&in.text, &in.commentary);
    in.unit = kPairPerSegment;
    in.unitGiven = false;
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("lorvan_import_bench_" + std::to_string(getpid()));
    std::vector<double> imports, inMemory, compiles;
    for (int run = 0; run < kRuns; run++) {
        fs::path dir = root / std::to_string(run);
        auto start = std::chrono::steady_clock::now();
        SourceFiles files;
        ImportReport report;
        std::vector<std::string> errors;
        std::string error;
        bool imported = ImportBook(in, &files, &report, &errors);
        inMemory.push_back(Milliseconds(start));
        if (!imported || !WriteSourceTree(files, dir.string(), &error)) {
            fprintf(stderr, "import failed: %s\n", errors.empty() ? error.c_str() : errors[0].c_str());
            return 1;
        }
        imports.push_back(Milliseconds(start));
        if (report.pairs != kChapters * kSegmentsPerChapter) return 1;
        start = std::chrono::steady_clock::now();
        ResourceSet resources;
        BookDiagnostics diagnostics;
        if (!CompileBook(files, &resources, &diagnostics)) return 1;
        compiles.push_back(Milliseconds(start));
    }
    std::error_code code;
    fs::remove_all(root, code);
    printf("import_ms: %.1f\n", Median(imports));
    printf("import_in_memory_ms: %.1f\n", Median(inMemory));
    printf("import_compile_ms: %.1f\n", Median(compiles));
    return 0;
}
