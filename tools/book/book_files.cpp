// File system side of the book tools: source trees, resource directories and
// programs.
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tools/book/book_tree.h"

namespace fs = std::filesystem;

namespace {

const char kRcFile[] = "book.rc";

bool ReadWholeFile(const fs::path& path, std::string* contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *contents = buffer.str();
    return !in.bad();
}

bool WriteWholeFile(const fs::path& path, const void* bytes, size_t count) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)bytes, (std::streamsize)count);
    out.close();
    return !out.fail();
}

// A resource path as windres reads it: forward slashes inside a quoted string.
bool RcPath(const fs::path& path, std::string* quoted) {
    std::error_code code;
    fs::path absolute = fs::absolute(path, code);
    if (code) return false;
    std::string text = absolute.lexically_normal().generic_string();
    if (text.find('"') != std::string::npos) return false;
    *quoted = "\"" + text + "\"";
    return true;
}

std::string ResourceFileName(uint16_t id) { return std::to_string(id) + ".bin"; }

// File name -> contents, all written into one directory.
typedef std::map<std::string, std::string> OutputFiles;

const char kPartSuffix[] = ".part";

// The outermost directory of `dir` that does not exist yet, or empty.
fs::path FirstMissingDirectory(const fs::path& dir) {
    fs::path missing;
    std::error_code code;
    for (fs::path at = fs::absolute(dir, code); !at.empty() && !fs::exists(at, code); at = at.parent_path()) {
        missing = at;
        if (at == at.parent_path()) break;
    }
    return missing;
}

// Writes every file under a temporary name first and renames them only when
// all were written, so that a failure leaves neither new files, nor
// directories made for them, nor earlier output half overwritten.
bool WriteOutputFiles(const OutputFiles& files, const std::string& dir, std::string* error) {
    fs::path created = FirstMissingDirectory(dir);
    std::error_code code;
    fs::create_directories(dir, code);
    if (code) {
        *error = dir + ": cannot be created: " + code.message();
        if (!created.empty()) fs::remove_all(created, code);
        return false;
    }
    std::vector<fs::path> parts;
    bool ok = true;
    for (auto it = files.begin(); ok && it != files.end(); ++it) {
        fs::path part = fs::path(dir) / (it->first + kPartSuffix);
        parts.push_back(part);
        ok = WriteWholeFile(part, it->second.data(), it->second.size());
        if (!ok) *error = (fs::path(dir) / it->first).string() + ": cannot be written";
    }
    auto part = parts.begin();
    for (auto it = files.begin(); ok && it != files.end(); ++it, ++part) {
        fs::rename(*part, fs::path(dir) / it->first, code);
        ok = !code;
        if (!ok) *error = (fs::path(dir) / it->first).string() + ": cannot be written: " + code.message();
    }
    if (ok) return true;
    for (const fs::path& path : parts) fs::remove(path, code);
    if (!created.empty()) fs::remove_all(created, code);
    return false;
}

// The regular files of a directory, without the exceptions of a range-for.
bool ListFiles(const fs::path& dir, std::vector<fs::path>* paths, std::string* error) {
    std::error_code code;
    fs::directory_iterator it(dir, code), end;
    for (; !code && it != end; it.increment(code)) {
        if (it->is_regular_file(code) && !code) paths->push_back(it->path());
    }
    if (code) *error = dir.string() + ": " + code.message();
    return !code;
}

bool ReadResourceFiles(const fs::path& dir, ResourceSet* resources, std::string* error) {
    std::vector<fs::path> paths;
    if (!ListFiles(dir, &paths, error)) return false;
    for (const fs::path& path : paths) {
        if (path.extension() != ".bin") continue;
        std::string stem = path.stem().string();
        if (stem.empty() || stem.size() > 5 || stem.find_first_not_of("0123456789") != std::string::npos) continue;
        unsigned long id = strtoul(stem.c_str(), nullptr, 10);
        if (id == 0 || id > 0xFFFF) continue;
        std::string bytes;
        if (!ReadWholeFile(path, &bytes)) {
            *error = path.string() + ": cannot be read";
            return false;
        }
        (*resources)[(uint16_t)id] = std::vector<uint8_t>(bytes.begin(), bytes.end());
    }
    return true;
}

}  // namespace

bool ReadSourceTree(const std::string& dir, SourceFiles* files, std::string* error) {
    std::error_code code;
    if (!fs::is_directory(dir, code)) {
        *error = dir + ": not a directory";
        return false;
    }
    std::vector<fs::path> paths;
    if (!ListFiles(dir, &paths, error)) return false;
    for (const fs::path& path : paths) {
        if (path.extension() != ".txt") continue;
        std::string contents;
        if (!ReadWholeFile(path, &contents)) {
            *error = path.string() + ": cannot be read";
            return false;
        }
        (*files)[path.filename().string()] = contents;
    }
    return true;
}

bool WriteResourceDirectory(const ResourceSet& resources, const std::string& dir, std::string* error) {
    OutputFiles out;
    std::string rc = "// Written by lorvan-book: the book's section resources and its index.\n";
    for (const auto& entry : resources) {
        std::string name = ResourceFileName(entry.first), quoted;
        if (!RcPath(fs::path(dir) / name, &quoted)) {
            *error = (fs::path(dir) / name).string() + ": cannot be named in a resource script";
            return false;
        }
        out[name] = std::string(entry.second.begin(), entry.second.end());
        rc += std::to_string(entry.first) + " RCDATA " + quoted + "\n";
    }
    out[kRcFile] = rc;
    return WriteOutputFiles(out, dir, error);
}

bool ReadResources(const std::string& path, ResourceSet* resources, std::string* error) {
    resources->clear();
    std::error_code code;
    if (fs::is_directory(path, code)) return ReadResourceFiles(path, resources, error);
    std::string bytes;
    if (!ReadWholeFile(path, &bytes)) {
        *error = path + ": cannot be read";
        return false;
    }
    std::vector<uint8_t> image(bytes.begin(), bytes.end());
    if (!ReadPeRawDataResources(image, resources, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

bool WriteSourceTree(const SourceFiles& files, const std::string& dir, std::string* error) {
    return WriteOutputFiles(files, dir, error);
}

bool WriteBookFile(const ResourceSet& resources, const std::string& path, std::string* error) {
    std::vector<uint8_t> image;
    if (!BuildResourceModule(resources, &image, error)) {
        *error = path + ": " + *error;
        return false;
    }
    fs::path part = path + kPartSuffix;
    std::error_code code;
    if (!WriteWholeFile(part, image.data(), image.size())) {
        fs::remove(part, code);
        *error = path + ": cannot be written";
        return false;
    }
    fs::rename(part, path, code);
    if (code) {
        fs::remove(part, code);
        *error = path + ": cannot be written";
        return false;
    }
    return true;
}
