// The structure of the export: version files of a text and its commentary,
// with an optional schema, into pair files, an outline and book.txt.
#include <stdio.h>
#include <string.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "tools/book/book_text.h"
#include "tools/book/import.h"

using json = nlohmann::json;

namespace {

const int kMaxDepth = 8;
const int kOutlineMaxNumber = 16383;
const int kBookmarkGroupNumber = 2167;

// ---- JSON without exceptions ------------------------------------------------------

std::string StringField(const json& object, const char* key) {
    auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get_ref<const std::string&>() : std::string();
}

std::vector<std::string> StringList(const json& object, const char* key) {
    std::vector<std::string> out;
    auto it = object.find(key);
    if (it == object.end() || !it->is_array()) return out;
    for (const json& item : *it) out.push_back(item.is_string() ? item.get_ref<const std::string&>() : "");
    return out;
}

bool BoolField(const json& object, const char* key) {
    auto it = object.find(key);
    return it != object.end() && it->is_boolean() && it->get<bool>();
}

int IntField(const json& object, const char* key) {
    auto it = object.find(key);
    return it != object.end() && it->is_number_integer() ? it->get<int>() : 0;
}

// How deep the arrays go down to the strings: a string is 0, an array one
// more than its deepest item (an empty one 1).
int MeasuredDepth(const json& value, int level = 0) {
    if (!value.is_array() || level > kMaxDepth) return 0;
    int deepest = 0;
    for (const json& item : value) {
        int depth = MeasuredDepth(item, level + 1);
        if (depth > deepest) deepest = depth;
    }
    return deepest + 1;
}

const json* Child(const json& value, size_t index) {
    return value.is_array() && index < value.size() ? &value[index] : nullptr;
}

// ---- Levels and their names -----------------------------------------------------

struct Level {
    std::string heName;
    bool folio;
};

const char* HebrewLevelName(const std::string& english) {
    static const struct { const char* english; const char* hebrew; } kNames[] = {
        {"Chapter", "פרק"}, {"Perek", "פרק"}, {"Mishnah", "משנה"}, {"Verse", "פסוק"}, {"Halakhah", "הלכה"},
        {"Halacha", "הלכה"}, {"Daf", "דף"}, {"Line", "שורה"}, {"Paragraph", "פסקה"}, {"Section", "סעיף"},
        {"Seif", "סעיף"}, {"Siman", "סימן"}, {"Book", "ספר"}, {"Parasha", "פרשה"}, {"Psalm", "מזמור"},
        {"Letter", "אות"}, {"Mitzvah", "מצוה"}, {"Gate", "שער"}, {"Part", "חלק"}, {"Piska", "פסקא"},
        {"Page", "עמוד"}, {"Comment", "פירוש"},
    };
    for (const auto& n : kNames)
        if (english == n.english) return n.hebrew;
    return "";
}

// The name of item `index` (0-based) of a level: "פרק ב'" for the second chapter.
std::string ItemName(const Level& level, size_t index) {
    if (level.folio)
        return "דף " + HebrewNumeral((int)index / 2 + 1) + " עמוד " + (index % 2 ? "ב'" : "א'");
    std::string numeral = HebrewNumeral((int)index + 1);
    return level.heName.empty() ? numeral : level.heName + " " + numeral;
}

// The letters alone, as a running number in the text: (א), (טו).
std::string UnmarkedNumeral(int n) {
    std::string out;
    for (char ch : HebrewNumeral(n))
        if (ch != '\'' && ch != '"') out.push_back(ch);
    return out;
}

std::string ItemAddress(const Level& level, size_t index) {
    if (level.folio) return std::to_string(index / 2 + 1) + (index % 2 ? "b" : "a");
    return std::to_string(index + 1);
}

// ---- The import ---------------------------------------------------------------------

struct Work {
    std::string file;
    json root;
    const json* text;  // the node's nested arrays
    int depth;
};

struct Importer {
    const ImportInput* input;
    ImportReport* report;
    std::vector<std::string>* errors;
    Work text, commentary;
    json schema;
    std::vector<Level> levels;
    int pairLevel;  // 1: every chapter a pair; 2: grouped under its chapter
    int commentLevel;
    std::string bookTitle, commentaryTitle;
};

void Error(Importer* im, const std::string& message) { im->errors->push_back(message); }

void Warn(Importer* im, const std::string& message) { im->report->warnings.push_back(message); }

bool ParseFile(Importer* im, const std::string& name, const std::string& bytes, json* root) {
    *root = json::parse(bytes, nullptr, false);
    if (root->is_discarded() || !root->is_object()) {
        Error(im, name + ": not a version file of the export (a JSON object)");
        return false;
    }
    return true;
}

std::string NodeList(const json& nodes) {
    std::string list;
    for (auto it = nodes.begin(); it != nodes.end(); ++it) list += (list.empty() ? "\"" : ", \"") + it.key() + "\"";
    return list;
}

// The nested arrays of the text, or of the node a complex text is asked for.
bool FindNode(Importer* im, Work* work) {
    auto it = work->root.find("text");
    if (it == work->root.end()) {
        Error(im, work->file + ": has no \"text\"");
        return false;
    }
    const std::string& node = im->input->node;
    if (it->is_array()) {
        if (!node.empty()) {
            Error(im, work->file + ": is not a complex text, it has no node \"" + node + "\"; leave out --node");
            return false;
        }
        work->text = &*it;
        return true;
    }
    if (!it->is_object()) {
        Error(im, work->file + ": \"text\" is neither the nested lists of a text nor the nodes of a complex one");
        return false;
    }
    auto found = it->find(node);
    if (found == it->end()) {
        Error(im, work->file + ": no node \"" + node + "\"; the nodes are " + NodeList(*it) +
                      " (\"\" is the default node)");
        return false;
    }
    if (found->is_object()) {
        Error(im, work->file + ": node \"" + node + "\" holds nodes of its own (" + NodeList(*found) +
                      "), which lorvan-book does not import");
        return false;
    }
    if (!found->is_array()) {
        Error(im, work->file + ": node \"" + node + "\" holds no text");
        return false;
    }
    work->text = &*found;
    return true;
}

std::string NodeTitle(const json& node) {
    std::string title = StringField(node, "title");
    if (!title.empty()) return title;
    auto titles = node.find("titles");
    if (titles != node.end() && titles->is_array())
        for (const json& t : *titles)
            if (StringField(t, "lang") == "en" && BoolField(t, "primary")) return StringField(t, "text");
    return StringField(node, "key");
}

// The schema's description of the node imported: depth, address types and
// level names.
const json* SchemaNode(Importer* im) {
    const json* root = &im->schema;
    auto inner = root->find("schema");
    if (inner != root->end() && inner->is_object()) root = &*inner;
    auto nodes = root->find("nodes");
    if (nodes == root->end() || !nodes->is_array()) return root;
    for (const json& node : *nodes) {
        if (!node.is_object()) continue;
        bool isDefault = BoolField(node, "default") || StringField(node, "key") == "default";
        if (im->input->node.empty() ? isDefault : NodeTitle(node) == im->input->node) return &node;
    }
    Warn(im, im->input->schemaName + ": has no node \"" + im->input->node + "\"; its levels are taken from the text");
    return nullptr;
}

bool ReadLevels(Importer* im) {
    const json* node = im->input->schemaName.empty() ? nullptr : SchemaNode(im);
    std::vector<std::string> english = StringList(im->text.root, "sectionNames");
    std::vector<std::string> hebrew, addressTypes;
    int declared = 0;
    if (node) {
        declared = IntField(*node, "depth");
        addressTypes = StringList(*node, "addressTypes");
        hebrew = StringList(*node, "heSectionNames");
        std::vector<std::string> names = StringList(*node, "sectionNames");
        if (!names.empty()) english = names;
    }
    int measured = MeasuredDepth(*im->text.text);
    if (declared < 0 || declared > kMaxDepth) declared = 0;
    if (!declared) declared = (int)english.size();
    if (!declared) declared = measured;
    if (measured > declared) {
        Error(im, im->text.file + ": the text is nested " + std::to_string(measured) + " deep, but its depth is given as " +
                      std::to_string(declared));
        return false;
    }
    im->text.depth = declared;
    for (int i = 0; i < declared; i++) {
        Level level = {"", false};
        std::string en = i < (int)english.size() ? english[i] : "";
        level.heName = i < (int)hebrew.size() && !hebrew[i].empty() ? hebrew[i] : HebrewLevelName(en);
        level.folio = i < (int)addressTypes.size() ? addressTypes[i] == "Talmud" : (i == 0 && en == "Daf");
        im->levels.push_back(level);
    }
    return true;
}

bool ChooseUnits(Importer* im) {
    int depth = im->text.depth;
    bool perChapter = im->input->unit == kPairPerChapter;
    if (depth == 2) {
        im->pairLevel = perChapter ? 1 : 2;
        return true;
    }
    if (depth == 3 && perChapter && im->input->unitGiven) {
        im->pairLevel = 2;
        return true;
    }
    Error(im, im->text.file + ": the text has depth " + std::to_string(depth) +
                  "; lorvan-book imports a text of depth 2 (chapters of segments), or of depth 3 with --per chapter "
                  "(each chapter of the second level a pair)");
    return false;
}

// ---- Titles and values ------------------------------------------------------------------

// A title or name as one line of book text.
std::string PlainLine(Importer* im, const std::string& raw, const std::string& file, const std::string& address) {
    std::vector<ImportParagraph> paragraphs;
    ConvertSegment(raw, ImportPlace{file, address, 0}, im->report, &paragraphs);
    std::string line;
    for (const ImportParagraph& p : paragraphs)
        if (!p.rule) line += (line.empty() ? "" : " ") + p.text;
    return line;
}

// A value for book.txt: one line, at most 512 bytes, cut between letters.
std::string InfoValue(const std::string& raw) {
    std::string value;
    for (char ch : raw) {
        bool space = (uint8_t)ch < 0x20 || ch == 0x7F || ch == ' ';
        if (space && (value.empty() || value.back() == ' ')) continue;
        value.push_back(space ? ' ' : ch);
    }
    while (!value.empty() && value.back() == ' ') value.pop_back();
    if (value.size() > kBookInfoMaxValue) {
        size_t cut = kBookInfoMaxValue;
        while (cut > 0 && ((uint8_t)value[cut] & 0xC0) == 0x80) cut--;
        value.resize(cut);
    }
    return IsValidBookInfoValue(value.data(), value.size()) ? value : std::string();
}

std::string BookId(const std::string& title) {
    std::string id;
    for (char ch : title) {
        if (IsValidBookId(&ch, 1)) id.push_back(ch);
        else if (ch == ' ' && !id.empty() && id.back() != '-') id.push_back('-');
        if (id.size() == kBookIdMaxChars) break;
    }
    while (!id.empty() && id.back() == '-') id.pop_back();
    return id.empty() ? "imported-book" : id;
}

void AddInfoLine(std::string* out, const char* key, const std::string& raw) {
    std::string value = InfoValue(raw);
    if (!value.empty()) *out += std::string(key) + ": " + value + "\n";
}

void AddSourceLines(std::string* out, const char* prefix, const json& root) {
    static const char* const kFields[][2] = {{"title", "title"}, {"heTitle", "heTitle"}, {"edition", "versionTitle"},
                                             {"source", "versionSource"}, {"license", "license"}};
    for (const auto& f : kFields) AddInfoLine(out, (std::string(prefix) + f[0]).c_str(), StringField(root, f[1]));
}

void WarnAboutLicence(Importer* im, const Work& work) {
    std::string licence = StringField(work.root, "license");
    if (StringField(work.root, "versionTitle") == "merged")
        Warn(im, work.file + ": the library's merged file, which mixes editions under no licence of its own; "
                             "prefer a single edition's file");
    else if (licence.empty() || licence == "unknown")
        Warn(im, work.file + ": no licence is given, so the terms of use are unknown");
    // "NC" as a word of its own: CC-BY-NC, CC BY-NC-SA 4.0, but not "Licence".
    std::string words = " ";
    for (char ch : licence) {
        bool letter = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
        words.push_back(!letter ? ' ' : ch >= 'a' && ch <= 'z' ? (char)(ch - 'a' + 'A') : ch);
    }
    if ((words + " ").find(" NC ") != std::string::npos)
        Warn(im, work.file + ": licensed " + licence + ", which forbids commercial use");
}

std::string BookFile(Importer* im) {
    const json& text = im->text.root;
    std::string out = "# Imported by lorvan-book from the library's export.\n";
    AddInfoLine(&out, "id", BookId(StringField(text, "title")));
    std::string title = StringField(text, "heTitle");
    AddInfoLine(&out, "title", title.empty() ? StringField(text, "title") : title);
    AddSourceLines(&out, "text.", text);
    if (!im->input->commentaryName.empty()) AddSourceLines(&out, "commentary.", im->commentary.root);
    return out;
}

// ---- Pairs ----------------------------------------------------------------------------

struct Pair {
    std::vector<size_t> path;  // indices from the outermost level down to the pair
    std::string address, title, linkText;
    int group;                 // index of the outer item, or -1
};

std::string PathAddress(Importer* im, const std::vector<size_t>& path) {
    std::string address;
    for (size_t i = 0; i < path.size(); i++)
        address += (i ? ":" : "") + ItemAddress(im->levels[i], path[i]);
    return address;
}

void CollectPairs(Importer* im, const json& value, std::vector<size_t>* path, std::vector<Pair>* pairs) {
    if ((int)path->size() == im->pairLevel) {
        Pair pair;
        pair.path = *path;
        pair.address = PathAddress(im, *path);
        for (size_t i = 0; i < path->size(); i++)
            pair.title += (i ? " " : "") + ItemName(im->levels[i], (*path)[i]);
        pair.linkText = ItemName(im->levels[path->size() - 1], path->back());
        pair.group = path->size() == 2 ? (int)(*path)[0] : -1;
        pairs->push_back(pair);
        return;
    }
    if (!value.is_array()) return;
    for (size_t i = 0; i < value.size(); i++) {
        path->push_back(i);
        CollectPairs(im, value[i], path, pairs);
        path->pop_back();
    }
}

const json* AtPath(const json& root, const std::vector<size_t>& path) {
    const json* at = &root;
    for (size_t index : path) {
        at = Child(*at, index);
        if (!at) return nullptr;
    }
    return at;
}

// The segments of a pair: itself, or its items.
std::vector<const json*> Segments(Importer* im, const json* pairValue) {
    std::vector<const json*> segments;
    if (!pairValue) return segments;
    if (im->pairLevel == im->text.depth) {
        segments.push_back(pairValue);
    } else if (pairValue->is_array()) {
        for (const json& item : *pairValue) segments.push_back(&item);
    }
    return segments;
}

std::string SegmentString(Importer* im, const json& value) {
    if (value.is_string()) return value.get_ref<const std::string&>();
    if (!value.is_null() && !(value.is_array() && value.empty())) im->report->counts["values that are not text, taken as empty"]++;
    return "";
}

void NoteEmpty(Importer* im, const std::string& address) {
    im->report->emptySegments++;
    if (im->report->emptyPlaces.size() < kReportedPlaces)
        im->report->emptyPlaces.push_back(ImportPlace{im->text.file, address, 0});
}

std::string EscapeLine(const std::string& text) {
    std::string out;
    if (!text.empty() && (text[0] == '[' || text[0] == '#' || text[0] == '@')) out.push_back('\\');
    for (char ch : text) {
        if (ch == '\\') out.push_back('\\');
        out.push_back(ch);
    }
    return out;
}

std::string ParagraphLine(const ImportParagraph& p) {
    if (p.rule) return "[rule=50% center]";
    std::string markup;
    if (p.large) markup += "large ";
    if (p.small) markup += "small ";
    if (p.bold) markup += "bold ";
    std::string text = EscapeLine(p.text);
    if (markup.empty()) return text;
    markup.pop_back();
    return "[" + markup + "] " + text;
}

void AddParagraphs(std::string* section, const std::vector<ImportParagraph>& paragraphs) {
    for (const ImportParagraph& p : paragraphs) *section += ParagraphLine(p) + "\n\n";
}

std::string SectionStart(const std::string& title, const std::string& subtitle) {
    return "[title] " + EscapeLine(title) + "\n\n[subtitle] " + EscapeLine(subtitle) + "\n\n";
}

// The comments on one segment of the text, or null.
const json* CommentsOn(Importer* im, const std::vector<size_t>& segmentPath) {
    if (im->input->commentaryName.empty()) return nullptr;
    const json* comments = AtPath(*im->commentary.text, segmentPath);
    return comments && comments->is_array() && !comments->empty() ? comments : nullptr;
}

// Adds the comments at `path`; returns whether any had text.
bool AddComments(Importer* im, const std::vector<size_t>& path, const std::string& label, std::string* section) {
    const json* comments = CommentsOn(im, path);
    if (!comments) return false;
    std::vector<ImportParagraph> paragraphs;
    for (size_t k = 0; k < comments->size(); k++) {
        std::string address = PathAddress(im, path) + ":" + std::to_string(k + 1);
        ConvertSegment(SegmentString(im, (*comments)[k]), ImportPlace{im->commentary.file, address, 0}, im->report,
                       &paragraphs);
    }
    if (paragraphs.empty()) return false;
    if (!label.empty()) *section += "[bold] " + EscapeLine(label) + "\n";
    AddParagraphs(section, paragraphs);
    return true;
}

std::string PairFile(Importer* im, const Pair& pair, int mainSection) {
    std::string file = "# Sections " + std::to_string(mainSection) + " and " + std::to_string(mainSection + 1) + ": " +
                       pair.address + " (imported by lorvan-book)\n\n";
    file += SectionStart(pair.title, im->bookTitle);
    std::vector<const json*> segments = Segments(im, AtPath(*im->text.text, pair.path));
    bool perChapter = im->pairLevel < im->text.depth;
    std::string commentary = SectionStart(im->commentaryTitle, "על " + pair.title);
    if (im->commentLevel == im->pairLevel) AddComments(im, pair.path, "", &commentary);  // on whole pairs
    for (size_t j = 0; j < segments.size(); j++) {
        std::vector<size_t> path = pair.path;
        if (perChapter) path.push_back(j);
        std::string address = PathAddress(im, path);
        std::vector<ImportParagraph> paragraphs;
        ConvertSegment(SegmentString(im, *segments[j]), ImportPlace{im->text.file, address, 0}, im->report,
                       &paragraphs);
        if (paragraphs.empty()) NoteEmpty(im, address);
        if (perChapter && !paragraphs.empty() && !paragraphs[0].rule)
            paragraphs[0].text = "(" + UnmarkedNumeral((int)j + 1) + ") " + paragraphs[0].text;
        AddParagraphs(&file, paragraphs);
        std::string label = perChapter ? ItemName(im->levels[path.size() - 1], j) : "";
        if (perChapter && im->commentLevel == (int)path.size()) AddComments(im, path, label, &commentary);
    }
    if (segments.empty()) NoteEmpty(im, pair.address);
    return file + "@commentary\n\n" + commentary;
}

// ---- The commentary ----------------------------------------------------------------

std::string BaseTitle(const json& root) {
    auto it = root.find("base_text_titles");
    if (it != root.end() && it->is_array() && !it->empty()) {
        const json& first = (*it)[0];
        if (first.is_string()) return first.get<std::string>();
        if (first.is_object()) return StringField(first, "en");
    }
    std::string title = StringField(root, "title");
    size_t on = title.rfind(" on ");
    return on == std::string::npos ? "" : title.substr(on + 4);
}

// Every address of the commentary that has comments but not a place in the text.
void FindStrayComments(Importer* im, const json& value, std::vector<size_t>* path, std::vector<std::string>* stray) {
    if ((int)path->size() == im->commentLevel) {
        bool any = false;
        if (value.is_array())
            for (const json& c : value) any = any || (c.is_string() && !c.get_ref<const std::string&>().empty());
        if (any && !AtPath(*im->text.text, *path)) stray->push_back(PathAddress(im, *path));
        return;
    }
    if (!value.is_array()) return;
    for (size_t i = 0; i < value.size(); i++) {
        path->push_back(i);
        FindStrayComments(im, value[i], path, stray);
        path->pop_back();
    }
}

bool ReadCommentary(Importer* im) {
    Work& c = im->commentary;
    std::string base = BaseTitle(c.root), title = StringField(im->text.root, "title");
    if (base.empty())
        Warn(im, c.file + ": names no text it comments on; taken to be on " + title);
    else if (base != title) {
        Error(im, c.file + ": comments on \"" + base + "\", not on \"" + title + "\"");
        return false;
    }
    std::vector<std::string> names = StringList(c.root, "sectionNames");
    int depth = names.empty() ? MeasuredDepth(*c.text) : (int)names.size();
    im->commentLevel = depth - 1;
    if (im->commentLevel != im->text.depth && im->commentLevel != im->pairLevel) {
        Error(im, c.file + ": has depth " + std::to_string(depth) + "; a commentary on this text has depth " +
                      std::to_string(im->text.depth + 1) + " (its comments on each segment)" +
                      (im->pairLevel < im->text.depth ? " or " + std::to_string(im->pairLevel + 1) + " (on each pair)"
                       : im->commentLevel == im->pairLevel - 1 ? "; for a commentary on whole chapters, import with --per chapter"
                                                               : ""));
        return false;
    }
    std::vector<size_t> path;
    std::vector<std::string> stray;
    FindStrayComments(im, *c.text, &path, &stray);
    if (stray.empty()) return true;
    std::string list;
    for (const std::string& address : stray) list += (list.empty() ? "" : ", ") + address;
    Error(im, c.file + ": comments on addresses the text does not have: " + list);
    return false;
}

// ---- The outline --------------------------------------------------------------------

std::string Outline(Importer* im, const std::vector<Pair>& pairs, bool linksPerGroup) {
    std::string out = "# The outline (imported by lorvan-book).\n";
    // The title's label takes a number above every section and every heading
    // (headings are numbered from 1002 in order, passing over 2167).
    int lastSection = 2 * (int)pairs.size();
    int headings = pairs.empty() || linksPerGroup ? 0 : pairs.back().group + 1;
    int label = std::max(lastSection + 1, 1003 + headings);
    if (label == kBookmarkGroupNumber) label++;
    if (label <= kOutlineMaxNumber) out += ". [large bold num=" + std::to_string(label) + "] " + EscapeLine(im->bookTitle) + "\n";
    int group = -2;
    for (size_t i = 0; i < pairs.size(); i++) {
        const Pair& p = pairs[i];
        std::string section = std::to_string(2 * i + 1);
        if (p.group < 0) {
            out += "> " + section + " " + EscapeLine(p.title) + "\n";
            continue;
        }
        if (p.group == group) {
            if (!linksPerGroup) out += "  > " + section + " " + EscapeLine(p.linkText) + "\n";
            continue;
        }
        group = p.group;
        std::string name = ItemName(im->levels[0], (size_t)group);
        if (linksPerGroup) {
            out += "> " + section + " " + name + "\n";
        } else {
            out += std::string(i == 0 ? "- " : "+ ") + "[bold] " + name + "\n";
            out += "  > " + section + " " + EscapeLine(p.linkText) + "\n";
        }
    }
    return out;
}

// The outline with a link to every pair, or when that is too big for the
// index, a link to every chapter.
bool AddOutline(Importer* im, const std::vector<Pair>& pairs, SourceFiles* files) {
    for (bool perGroup : {false, true}) {
        std::string outline = Outline(im, pairs, perGroup);
        std::vector<uint8_t> index;
        BookDiagnostics diagnostics;
        if (ParseIndexSource("index.txt", outline, 2 * (int)pairs.size(), &index, &diagnostics)) {
            if (perGroup) Warn(im, "the outline links every chapter, not every pair: links to all of them would not fit the index");
            (*files)["index.txt"] = outline;
            return true;
        }
        if (perGroup || pairs.empty() || pairs[0].group < 0) {
            for (const BookDiagnostic& d : diagnostics) Error(im, FormatDiagnostic(d));
            return false;
        }
    }
    return false;
}

bool Run(Importer* im, SourceFiles* files) {
    const ImportInput& in = *im->input;
    im->text.file = in.textName;
    im->commentary.file = in.commentaryName;
    if (!ParseFile(im, in.textName, in.text, &im->text.root)) return false;
    if (!in.schemaName.empty() && !ParseFile(im, in.schemaName, in.schema, &im->schema)) return false;
    if (!FindNode(im, &im->text) || !ReadLevels(im) || !ChooseUnits(im)) return false;
    im->commentLevel = -1;
    if (!in.commentaryName.empty()) {
        if (!ParseFile(im, in.commentaryName, in.commentary, &im->commentary.root) || !FindNode(im, &im->commentary) ||
            !ReadCommentary(im))
            return false;
    }
    WarnAboutLicence(im, im->text);
    if (!in.commentaryName.empty()) WarnAboutLicence(im, im->commentary);

    std::string heTitle = StringField(im->text.root, "heTitle");
    im->bookTitle = PlainLine(im, heTitle.empty() ? StringField(im->text.root, "title") : heTitle, in.textName, "heTitle");
    std::string commentaryTitle = in.commentaryName.empty() ? "" : StringField(im->commentary.root, "heTitle");
    im->commentaryTitle = commentaryTitle.empty() ? "פירוש" : PlainLine(im, commentaryTitle, in.commentaryName, "heTitle");
    if (im->bookTitle.empty()) im->bookTitle = "ספר";

    std::vector<Pair> pairs;
    std::vector<size_t> path;
    CollectPairs(im, *im->text.text, &path, &pairs);
    if (pairs.empty()) {
        Error(im, in.textName + ": the text has no " + (im->pairLevel == 1 ? "chapters" : "segments"));
        return false;
    }
    if ((int)pairs.size() > kBookInfoMaxPairs) {
        Error(im, in.textName + ": the text makes " + std::to_string(pairs.size()) + " pairs; a book holds at most " +
                      std::to_string(kBookInfoMaxPairs) + (im->pairLevel == 2 ? " (try --per chapter)" : ""));
        return false;
    }
    for (size_t i = 0; i < pairs.size(); i++)
        (*files)[PairFileName(2 * (int)i + 1)] = PairFile(im, pairs[i], 2 * (int)i + 1);
    (*files)["book.txt"] = BookFile(im);
    im->report->pairs = (int)pairs.size();
    return AddOutline(im, pairs, files);
}

}  // namespace

bool ImportBook(const ImportInput& input, SourceFiles* files, ImportReport* report, std::vector<std::string>* errors) {
    files->clear();
    *report = ImportReport();
    errors->clear();
    Importer im;
    im.input = &input;
    im.report = report;
    im.errors = errors;
    im.pairLevel = 0;
    im.commentLevel = -1;
    im.text.text = im.commentary.text = nullptr;
    im.text.depth = im.commentary.depth = 0;
    if (Run(&im, files) && errors->empty()) {
        ResourceSet resources;
        BookDiagnostics diagnostics;
        if (CompileBook(*files, &resources, &diagnostics)) return true;
        for (const BookDiagnostic& d : diagnostics) errors->push_back(FormatDiagnostic(d));
    }
    if (errors->empty()) errors->push_back("the import failed");
    files->clear();
    return false;
}

std::string FormatImportReport(const ImportReport& report) {
    std::string out = "Imported " + std::to_string(report.pairs) + " pair(s).\n";
    for (const auto& count : report.counts) out += "  " + std::to_string(count.second) + "  " + count.first + "\n";
    for (const auto& u : report.unknown) {
        char code[16];
        snprintf(code, sizeof code, "U+%04X", u.first);
        out += "  " + std::to_string(u.second.count) + "  " + code + " without a form in the book, written \"?\":";
        for (const ImportPlace& p : u.second.places)
            out += " " + p.file + " " + p.address + " offset " + std::to_string(p.offset) + ";";
        out.back() = '\n';
    }
    if (report.emptySegments) {
        out += "  " + std::to_string(report.emptySegments) + "  empty segments:";
        for (const ImportPlace& p : report.emptyPlaces) out += " " + p.file + " " + p.address + ";";
        out.back() = '\n';
    }
    return out;
}
