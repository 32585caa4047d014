// The outline file: one entry per line into index records and back.
//
//   + heading (collapsed)     - heading (expanded)
//   > 17 link to section 17   . plain label
//
// Two leading spaces per indent level. Headings and labels are numbered
// automatically unless given num=.
#include <stdio.h>

#include <set>

#include "tools/book/book_source.h"
#include "tools/book/book_text.h"
#include "tools/book/source_lines.h"

namespace {

const uint16_t kLinkBit = 0x4000;
const uint16_t kHeadingBit = 0x8000;
const uint16_t kNumberMask = 0x3FFF;
const uint8_t kStyleExpanded = 0x40;
const uint8_t kStyleVisible = 0x80;
const uint8_t kStyleKeyMask = 0x1F;
const uint8_t kStyleUnusedBit = 0x20;
const uint8_t kKeyPlain = 0x01, kKeySmall = 0x02, kKeyLarge = 0x04, kKeyBold = 0x08, kKeyReversed = 0x10;
const int kFirstAutoNumber = 1001;
const int kBookmarkGroupNumber = 2167;  // the reader's own bookmark heading
const size_t kIndexEndBytes = 5;
const size_t kMaxIndexBytes = 0xFFFF;
const int kMaxLevel = 255;  // the indent byte
const size_t kBookmarkHeadingBytes = 9;
const size_t kEntryOverheadBytes = 5;  // id, style, indent and the text's NUL

enum EntryKind { kEntryLabel, kEntryLink, kEntryHeading };

struct IndexEntry {
    int line;
    EntryKind kind;
    bool expanded;
    int number;       // link: section; heading and label: -1 until numbered
    int level;        // the indent byte
    int style;        // -1, or the whole style byte given outright
    bool large, small, bold;
    int plain;        // -1 default, 0, 1
    int visible;      // -1 derived from the headings above, 0, 1
    std::vector<uint8_t> text;  // reading order
};

// Headings and labels without num= get 1001, 1002, ... by position, skipping
// the bookmark group's number.
int AutoNumber(int position) {
    int number = kFirstAutoNumber + position;
    return number >= kBookmarkGroupNumber ? number + 1 : number;
}

bool ReadEntryOption(const MarkupOption& o, IndexEntry* e, std::string* reason) {
    long number = 0;
    const std::string& n = o.name;
    if (!o.hasValue) {
        if (n == "large") e->large = true;
        else if (n == "small") e->small = true;
        else if (n == "bold") e->bold = true;
        else if (n == "plain") e->plain = 1;
        else if (n == "noplain") e->plain = 0;
        else if (n == "hidden") e->visible = 0;
        else if (n == "shown") e->visible = 1;
        else {
            *reason = "unknown markup \"" + n + "\"";
            return false;
        }
        return true;
    }
    if (n == "num" && e->kind != kEntryLink) {
        if (!ReadNumber(o.value, 1, kNumberMask, &number)) {
            *reason = "num is 1 to 16383";
            return false;
        }
        e->number = (int)number;
    } else if (n == "level") {
        if (!ReadNumber(o.value, 0, kMaxLevel, &number)) {
            *reason = "level is 0 to 255";
            return false;
        }
        e->level = (int)number;
    } else if (n == "style") {
        if (!ReadNumber(o.value, 1, 255, &number)) {
            *reason = "style is a byte from 0x01 to 0xFF";
            return false;
        }
        e->style = (int)number;
    } else {
        *reason = "unknown markup \"" + n + "=\"";
        return false;
    }
    return true;
}

bool CheckEntryOptions(const IndexEntry& e, std::string* reason) {
    if (e.style >= 0 && (e.large || e.small || e.bold || e.plain >= 0 || e.visible >= 0)) {
        *reason = "style= gives the whole style byte; leave out the other style words";
        return false;
    }
    if (e.large && e.small) {
        *reason = "an entry is large or small, not both";
        return false;
    }
    return true;
}

// Reads "<marker> [number] [markup] text" after the indent.
bool ReadEntry(const SourceLine& line, int indentSpaces, int lastSection, IndexEntry* e, std::string* text,
               std::string* reason) {
    char marker = line.text[0];
    if (marker == '+' || marker == '-') e->kind = kEntryHeading;
    else if (marker == '>') e->kind = kEntryLink;
    else if (marker == '.') e->kind = kEntryLabel;
    else {
        *reason = "an entry starts with + or - (heading), > (link) or . (label)";
        return false;
    }
    if (indentSpaces % 2) {
        *reason = "indent entries by two spaces per level";
        return false;
    }
    if (indentSpaces / 2 > kMaxLevel) {
        *reason = "level is 0 to 255: this entry is indented " + std::to_string(indentSpaces / 2) + " levels";
        return false;
    }
    e->expanded = marker == '-';
    e->level = indentSpaces / 2;
    size_t at = 1;
    while (at < line.text.size() && line.text[at] == ' ') at++;
    if (e->kind == kEntryLink) {
        size_t end = at;
        while (end < line.text.size() && line.text[end] >= '0' && line.text[end] <= '9') end++;
        long section = 0;
        if (end == at || !ReadNumber(line.text.substr(at, end - at), 1, 0xFFFF, &section)) {
            *reason = "a link names its section by number: \"> 17 text\"";
            return false;
        }
        if (section > lastSection) {
            *reason = "link to section " + std::to_string(section) + ", which does not exist (sections are 1 to " +
                      std::to_string(lastSection) + ")";
            return false;
        }
        if (section > kNumberMask) {
            *reason = "link to section " + std::to_string(section) + ": the outline's links reach section " +
                      std::to_string(kNumberMask) + " at most";
            return false;
        }
        e->number = (int)section;
        at = end;
        while (at < line.text.size() && line.text[at] == ' ') at++;
    }
    std::vector<MarkupOption> options;
    if (!ReadMarkup(line.text.substr(at), &options, text, reason)) return false;
    for (const MarkupOption& option : options)
        if (!ReadEntryOption(option, e, reason)) return false;
    return CheckEntryOptions(*e, reason);
}

uint8_t EntryKey(const IndexEntry& e) {
    uint8_t key = 0;
    if (e.large) key |= kKeyLarge;
    if (e.small) key |= kKeySmall;
    if (e.bold) key |= kKeyBold;
    bool plain = e.plain >= 0 ? e.plain == 1 : !(e.large || e.small || e.bold);
    if (plain) key |= kKeyPlain;
    return key;
}

// Open headings whose subtree may still hold the entries that follow. A
// heading's subtree runs while the indent stays at or above the indent of the
// entry right after it, as the outline control reads it.
struct OpenHeading {
    int threshold;  // -1 until the next entry sets it
    bool showsChildren;
};

bool DefaultVisibility(std::vector<OpenHeading>* open, int level) {
    std::vector<OpenHeading> kept;
    bool visible = true;
    for (OpenHeading h : *open) {
        if (h.threshold < 0) h.threshold = level;
        if (h.threshold > level) continue;
        visible = visible && h.showsChildren;
        kept.push_back(h);
    }
    *open = kept;
    return visible;
}

bool NumberEntries(const std::string& file, int lastSection, std::vector<IndexEntry>* entries,
                   BookDiagnostics* diagnostics) {
    std::set<int> used;
    int position = 0;
    bool ok = true;
    for (IndexEntry& e : *entries) {
        if (e.kind == kEntryLink) continue;
        if (e.number < 0) e.number = AutoNumber(position);
        position++;
        std::string reason;
        if (e.number > kNumberMask)
            reason = "too many headings and labels: their numbers run past 16383";
        else if (e.number == kBookmarkGroupNumber)
            reason = "number 2167 belongs to the reader's bookmark group";
        else if (e.kind == kEntryLabel && e.number <= lastSection)
            reason = "a label numbered " + std::to_string(e.number) + " would be found in place of section " +
                     std::to_string(e.number) + "'s link";
        else if (!used.insert(e.number).second)
            reason = "number " + std::to_string(e.number) + " is used by two headings or labels";
        if (!reason.empty()) {
            AddDiagnostic(diagnostics, file, e.line, reason);
            ok = false;
        }
    }
    return ok;
}

// The chooser takes whatever follows a heading, at the indent of the entry
// right after it, as the heading's subtree; a heading with nothing indented
// under it would fold away the entries after it.
bool CheckHeadingsHaveEntries(const std::string& file, const std::vector<IndexEntry>& entries,
                              BookDiagnostics* diagnostics) {
    bool ok = true;
    for (size_t i = 0; i < entries.size(); i++) {
        if (entries[i].kind != kEntryHeading) continue;
        if (i + 1 < entries.size() && entries[i + 1].level > entries[i].level) continue;
        AddDiagnostic(diagnostics, file, entries[i].line,
                      "a heading needs at least one entry indented under it");
        ok = false;
    }
    return ok;
}

// The reader puts its bookmark group in front of the index: a heading of 9
// bytes and, for each bookmarked section, a copy of that section's first link.
// This is its size when every linked section is bookmarked.
size_t LargestBookmarkGroup(const std::vector<IndexEntry>& entries) {
    size_t bytes = kBookmarkHeadingBytes;
    std::set<int> linked;
    for (const IndexEntry& e : entries)
        if (e.kind == kEntryLink && linked.insert(e.number).second) bytes += kEntryOverheadBytes + e.text.size();
    return bytes;
}

bool AppendEntry(const std::string& file, const IndexEntry& e, bool visible, std::vector<uint8_t>* out,
                 BookDiagnostics* diagnostics) {
    uint16_t id = (uint16_t)e.number;
    if (e.kind == kEntryLink) id |= kLinkBit;
    if (e.kind == kEntryHeading) id |= kHeadingBit;
    uint8_t style = (uint8_t)e.style;
    if (e.style < 0) {
        style = EntryKey(e);
        if (e.kind == kEntryHeading && e.expanded) style |= kStyleExpanded;
        if (visible) style |= kStyleVisible;
    }
    if (style == 0) {
        AddDiagnostic(diagnostics, file, e.line, "this entry's style byte would be 0, which ends the index");
        return false;
    }
    std::vector<uint8_t> stored = ToDrawingOrder(e.text);
    out->push_back((uint8_t)id);
    out->push_back((uint8_t)(id >> 8));
    out->push_back(style);
    out->push_back((uint8_t)e.level);
    out->insert(out->end(), stored.begin(), stored.end());
    out->push_back(0);
    return true;
}

bool ParseEntries(const std::string& file, const std::string& source, int lastSection,
                  std::vector<IndexEntry>* entries, BookDiagnostics* diagnostics) {
    std::vector<int> indents;
    std::vector<SourceLine> lines = SplitSourceLines(source, 1, &indents);
    bool ok = true;
    for (size_t i = 0; i < lines.size(); i++) {
        const SourceLine& line = lines[i];
        if (line.text.empty() || line.text[0] == '#') continue;
        IndexEntry e = {line.number, kEntryLabel, false, -1, 0, -1, false, false, false, -1, -1, {}};
        std::string text, reason;
        if (!ReadEntry(line, indents[i], lastSection, &e, &text, &reason)) {
            AddDiagnostic(diagnostics, file, line.number, reason);
            ok = false;
            continue;
        }
        if (!EncodeLineText(file, line, text, &e.text, diagnostics)) {
            ok = false;
            continue;
        }
        entries->push_back(e);
    }
    return ok;
}

// ---- Writing source back ----------------------------------------------------

std::string EntryMarkup(const IndexEntry& e, uint8_t style, bool visibleByDefault, int autoNumber) {
    std::string words;
    auto add = [&words](const std::string& word) { words += (words.empty() ? "" : " ") + word; };
    if (e.kind != kEntryLink && e.number != autoNumber) add("num=" + std::to_string(e.number));
    uint8_t key = style & kStyleKeyMask;
    bool expandedOk = e.kind == kEntryHeading || !(style & kStyleExpanded);
    if ((style & kStyleUnusedBit) || (key & kKeyReversed) || (key & (kKeyLarge | kKeySmall)) == (kKeyLarge | kKeySmall) ||
        !expandedOk) {
        char hex[8];
        snprintf(hex, sizeof hex, "0x%02X", style);
        add(std::string("style=") + hex);
        return words;
    }
    bool large = key & kKeyLarge, small = key & kKeySmall, bold = key & kKeyBold;
    if (large) add("large");
    if (small) add("small");
    if (bold) add("bold");
    if ((bool)(key & kKeyPlain) != !(large || small || bold)) add((key & kKeyPlain) ? "plain" : "noplain");
    bool visible = style & kStyleVisible;
    if (visible != visibleByDefault) add(visible ? "shown" : "hidden");
    return words;
}

}  // namespace

bool ParseIndexSource(const std::string& file, const std::string& source, int lastSection,
                      std::vector<uint8_t>* indexText, BookDiagnostics* diagnostics) {
    std::vector<IndexEntry> entries;
    bool ok = ParseEntries(file, source, lastSection, &entries, diagnostics);
    ok = NumberEntries(file, lastSection, &entries, diagnostics) && ok;
    if (!ok) return false;
    if (entries.empty() || entries[0].text.empty()) {
        AddDiagnostic(diagnostics, file, entries.empty() ? 0 : entries[0].line,
                      entries.empty() ? "the index has no entries" : "the first entry needs text: the reader refuses an index that opens with an empty one");
        return false;
    }
    ok = CheckHeadingsHaveEntries(file, entries, diagnostics);
    indexText->clear();
    std::vector<OpenHeading> open;
    for (const IndexEntry& e : entries) {
        bool visible = DefaultVisibility(&open, e.level);
        if (e.visible >= 0) visible = e.visible == 1;
        if (e.style >= 0) visible = (e.style & kStyleVisible) != 0;
        ok = AppendEntry(file, e, visible, indexText, diagnostics) && ok;
        if (e.kind == kEntryHeading) {
            bool expanded = e.style >= 0 ? (e.style & kStyleExpanded) != 0 : e.expanded;
            open.push_back(OpenHeading{-1, expanded && visible});
        }
    }
    if (!ok) return false;
    indexText->insert(indexText->end(), kIndexEndBytes, 0);
    size_t group = LargestBookmarkGroup(entries);
    if (indexText->size() + group > kMaxIndexBytes) {
        AddDiagnostic(diagnostics, file, 0,
                      "the index is " + std::to_string(indexText->size()) + " bytes when stored, and the bookmark group " +
                          "the reader puts in front of it can add " + std::to_string(group) +
                          "; together they hold at most 65535");
        return false;
    }
    return true;
}

bool IndexTextToSource(const uint8_t* text, size_t length, int lastSection, std::string* source,
                       std::string* reason) {
    source->clear();
    std::vector<OpenHeading> open;
    size_t at = 0;
    int position = 0;
    while (at + 3 <= length && text[at + 2] != 0) {
        if (at + 4 >= length) {
            *reason = "the index ends inside an entry";
            return false;
        }
        size_t end = at + 4;
        while (end < length && text[end] != 0) end++;
        if (end == length) {
            *reason = "an index entry runs past the end of the index";
            return false;
        }
        uint16_t id = (uint16_t)(text[at] | text[at + 1] << 8);
        uint8_t style = text[at + 2];
        if ((id & kLinkBit) && (id & kHeadingBit)) {
            *reason = "an index entry is marked both link and heading, which the source cannot say";
            return false;
        }
        IndexEntry e = {0, (id & kHeadingBit) ? kEntryHeading : (id & kLinkBit) ? kEntryLink : kEntryLabel,
                        (style & kStyleExpanded) != 0, id & kNumberMask, text[at + 3], -1, false, false, false, -1, -1, {}};
        if (e.kind == kEntryLink && (e.number < 1 || e.number > lastSection)) {
            *reason = "an index link names section " + std::to_string(e.number) + ", which does not exist";
            return false;
        }
        bool visibleByDefault = DefaultVisibility(&open, e.level);
        int autoNumber = e.kind == kEntryLink ? 0 : AutoNumber(position++);
        std::string line(2 * (size_t)e.level, ' ');
        line += e.kind == kEntryLink ? ">" : e.kind == kEntryLabel ? "." : e.expanded ? "-" : "+";
        if (e.kind == kEntryLink) line += " " + std::to_string(e.number);
        std::string markup = EntryMarkup(e, style, visibleByDefault, autoNumber);
        if (!markup.empty()) line += " [" + markup + "]";
        std::vector<uint8_t> stored(text + at + 4, text + end);
        std::string body = DecodeToSourceText(ToDrawingOrder(stored));
        if (!body.empty()) line += " " + body;
        *source += line + "\n";
        if (e.kind == kEntryHeading) open.push_back(OpenHeading{-1, e.expanded && (style & kStyleVisible)});
        at = end + 1;
    }
    if (source->empty()) {
        *reason = "the index has no entries";
        return false;
    }
    return true;
}
