// The strings of the export: their markup and their characters, as the book
// can keep them.
#include <stdlib.h>
#include <string.h>

#include "tools/book/book_text.h"
#include "tools/book/import.h"

namespace {

// ---- Characters -----------------------------------------------------------------

// The letters the presentation forms U+FB1D to U+FB4F stand for; "" for a
// point of its own (FB1E) and null where no character is assigned.
const char* const kPresentationForms[] = {
    "י", "", "יי", "ע", "א", "ד", "ה", "כ", "ל", "ם", "ר", "ת", "+", "ש", "ש", "ש", "ש", "א", "א", "א",
    "ב", "ג", "ד", "ה", "ו", "ז", nullptr, "ט", "י", "ך", "כ", "ל", nullptr, "מ", nullptr, "נ", "ס", nullptr,
    "ף", "פ", nullptr, "צ", "ק", "ר", "ש", "ת", "ו", "ב", "כ", "פ", "אל"};

static_assert(sizeof kPresentationForms / sizeof kPresentationForms[0] == 0xFB4F - 0xFB1D + 1,
              "one entry per presentation form");

bool IsCantillation(uint32_t c) { return c >= 0x0591 && c <= 0x05AF; }

bool IsPoint(uint32_t c) {
    return (c >= 0x05B0 && c <= 0x05BD) || c == 0x05BF || c == 0x05C1 || c == 0x05C2 || c == 0x05C4 ||
           c == 0x05C5 || c == 0x05C7;
}

bool IsDirectionMark(uint32_t c) {
    return c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           c == 0xFEFF;
}

bool IsSpace(uint32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c < 0x20 || c == 0x7F;
}

bool IsWideSpace(uint32_t c) { return c == 0x00A0 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F; }

// A paragraph being built, with how much of it each style covers.
struct ParagraphDraft {
    std::string text;
    size_t letters;  // characters other than spaces
    size_t bold, large, small;
};

struct Converter {
    const ImportPlace* where;
    ImportReport* report;
    std::vector<ImportParagraph>* paragraphs;
    ParagraphDraft draft;
    int boldDepth, largeDepth, smallDepth, dropDepth;
    std::map<const char*, int> counts;  // by kind, added to the report at the end
};

void Count(Converter* c, const char* kind) { c->counts[kind]++; }

void AppendSpace(Converter* c) {
    if (!c->draft.text.empty() && c->draft.text.back() != ' ') c->draft.text.push_back(' ');
}

void AppendText(Converter* c, const std::string& text) {
    if (c->dropDepth) return;
    c->draft.text += text;
    for (char ch : text) {
        if (ch == ' ' || ((uint8_t)ch & 0xC0) == 0x80) continue;
        c->draft.letters++;
        if (c->boldDepth) c->draft.bold++;
        if (c->largeDepth) c->draft.large++;
        if (c->smallDepth) c->draft.small++;
    }
}

void AppendUnknown(Converter* c, uint32_t codePoint, size_t offset) {
    if (c->dropDepth) return;
    UnknownCharacter& unknown = c->report->unknown[codePoint];
    unknown.count++;
    if (unknown.places.size() < kReportedPlaces)
        unknown.places.push_back(ImportPlace{c->where->file, c->where->address, offset});
    AppendText(c, "?");
}

// One character of text, as the book stores it.
void AppendCharacter(Converter* c, uint32_t ch, size_t offset) {
    if (c->dropDepth) return;
    std::string out;
    if (ch >= 0x05D0 && ch <= 0x05EA) {
        AppendUtf8(&out, ch);
    } else if (IsSpace(ch) || IsWideSpace(ch)) {
        if (IsWideSpace(ch)) Count(c, "wide and non-breaking spaces made plain");
        AppendSpace(c);
        return;
    } else if (ch >= 'a' && ch <= 'z') {
        Count(c, "Latin small letters written as capitals (the book's codes for them are its Hebrew letters)");
        out.push_back((char)(ch - 'a' + 'A'));
    } else if (ch == '~') {
        AppendUnknown(c, ch, offset);
        return;
    } else if (ch < 0x7F || (ch >= 0xA1 && ch <= 0xFF)) {
        if (ch == 0xAD) {
            Count(c, "soft hyphens dropped");
            return;
        }
        AppendUtf8(&out, ch);
    } else if (IsCantillation(ch)) {
        Count(c, "cantillation marks dropped");
        return;
    } else if (IsPoint(ch)) {
        Count(c, "vowel points and dots dropped");
        return;
    } else if (IsDirectionMark(ch)) {
        Count(c, "direction marks dropped");
        return;
    } else if (ch >= 0x200B && ch <= 0x200D) {
        Count(c, "zero-width characters dropped");
        return;
    } else if (ch == 0x05BE) {
        Count(c, "maqaf as \"-\"");
        out = "-";
    } else if (ch == 0x05C3) {
        Count(c, "sof pasuq as \":\"");
        out = ":";
    } else if (ch == 0x05C0) {
        Count(c, "paseq as \"|\"");
        out = "|";
    } else if (ch == 0x05F3) {
        Count(c, "geresh as \"'\"");
        out = "'";
    } else if (ch == 0x05F4) {
        Count(c, "gershayim as '\"'");
        out = "\"";
    } else if (ch >= 0x05F0 && ch <= 0x05F2) {
        Count(c, "Yiddish ligatures as their letters");
        out = ch == 0x05F0 ? "וו" : ch == 0x05F1 ? "וי" : "יי";
    } else if (ch >= 0xFB1D && ch <= 0xFB4F && kPresentationForms[ch - 0xFB1D]) {
        Count(c, "presentation forms as their letters");
        out = kPresentationForms[ch - 0xFB1D];
    } else if ((ch >= 0x2018 && ch <= 0x201B) || ch == 0x2032) {
        Count(c, "curly quotes as plain ones");
        out = "'";
    } else if ((ch >= 0x201C && ch <= 0x201F) || ch == 0x2033) {
        Count(c, "curly quotes as plain ones");
        out = "\"";
    } else if ((ch >= 0x2010 && ch <= 0x2015) || ch == 0x2212) {
        Count(c, "dashes as \"-\"");
        out = "-";
    } else if (ch == 0x2026) {
        Count(c, "ellipses as \"...\"");
        out = "...";
    } else {
        AppendUnknown(c, ch, offset);
        return;
    }
    AppendText(c, out);
}

// ---- Paragraphs -------------------------------------------------------------------

void EndParagraph(Converter* c) {
    ParagraphDraft& d = c->draft;
    while (!d.text.empty() && d.text.back() == ' ') d.text.pop_back();
    if (d.letters) {
        ImportParagraph p = {d.bold == d.letters, d.large == d.letters, d.small == d.letters, false, d.text};
        if (p.large && p.small) p.small = false;
        bool partly = (d.bold && !p.bold) || (d.large && !p.large) || (d.small && !p.small && !p.large);
        if (partly) Count(c, "formatting inside a paragraph dropped");
        c->paragraphs->push_back(p);
    }
    d = ParagraphDraft{"", 0, 0, 0, 0};
}

void AddRule(Converter* c) {
    EndParagraph(c);
    c->paragraphs->push_back(ImportParagraph{false, false, false, true, ""});
    Count(c, "rules (<hr>)");
}

// ---- Markup -------------------------------------------------------------------------

enum TagKind { kTagBold, kTagLarge, kTagSmall, kTagFootnote, kTagMarker, kTagCrossReference, kTagOther };

struct OpenTag {
    std::string name;
    TagKind kind;
    size_t lettersAtOpen;
};

struct Tag {
    std::string name;  // lower case
    std::string attributes;
    bool closing, selfClosing;
    size_t length;  // bytes, "<" to ">"
};

bool IsNameChar(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9'); }

// Reads a tag at `at` ("<"); false when what follows is not one, and the "<"
// is text.
bool ReadTag(const std::string& raw, size_t at, Tag* tag) {
    size_t i = at + 1;
    tag->closing = i < raw.size() && raw[i] == '/';
    if (tag->closing) i++;
    size_t nameStart = i;
    while (i < raw.size() && IsNameChar(raw[i])) i++;
    if (i == nameStart || !((raw[nameStart] >= 'a' && raw[nameStart] <= 'z') || (raw[nameStart] >= 'A' && raw[nameStart] <= 'Z')))
        return false;
    tag->name = raw.substr(nameStart, i - nameStart);
    for (char& ch : tag->name)
        if (ch >= 'A' && ch <= 'Z') ch = (char)(ch - 'A' + 'a');
    char quote = 0;
    size_t attributesStart = i;
    for (; i < raw.size(); i++) {
        if (quote) {
            if (raw[i] == quote) quote = 0;
        } else if (raw[i] == '"' || raw[i] == '\'') {
            quote = raw[i];
        } else if (raw[i] == '>') {
            break;
        } else if (raw[i] == '<') {
            return false;
        }
    }
    if (i >= raw.size()) return false;
    tag->attributes = raw.substr(attributesStart, i - attributesStart);
    tag->selfClosing = !tag->attributes.empty() && tag->attributes.back() == '/';
    tag->length = i + 1 - at;
    return true;
}

bool HasClass(const std::string& attributes, const char* name) {
    size_t at = attributes.find("class=");
    if (at == std::string::npos) return false;
    return attributes.find(name, at) != std::string::npos;
}

TagKind KindOf(const Tag& tag) {
    const std::string& n = tag.name;
    if (n == "b" || n == "strong") return kTagBold;
    if (n == "big") return kTagLarge;
    if (n == "small") return kTagSmall;
    if (HasClass(tag.attributes, "footnote-marker")) return kTagMarker;
    if (HasClass(tag.attributes, "footnote")) return kTagFootnote;
    if (tag.attributes.find("data-commentator") != std::string::npos ||
        tag.attributes.find("data-label") != std::string::npos)
        return kTagCrossReference;
    return kTagOther;
}

void Enter(Converter* c, TagKind kind, int delta) {
    switch (kind) {
        case kTagBold: c->boldDepth += delta; break;
        case kTagLarge: c->largeDepth += delta; break;
        case kTagSmall: c->smallDepth += delta; break;
        case kTagFootnote: case kTagMarker: c->dropDepth += delta; break;
        default: break;
    }
}

void OpenElement(Converter* c, const Tag& tag, std::vector<OpenTag>* open) {
    TagKind kind = KindOf(tag);
    if (tag.selfClosing) {
        if (kind == kTagCrossReference) Count(c, "cross-reference markers dropped");
        else if (kind == kTagOther) Count(c, "other tags unwrapped");
        return;
    }
    if (kind == kTagFootnote && !c->dropDepth) Count(c, "footnotes dropped");
    if (kind == kTagMarker && !c->dropDepth) Count(c, "footnote markers dropped");
    Enter(c, kind, 1);
    open->push_back(OpenTag{tag.name, kind, c->draft.letters + c->paragraphs->size()});
}

void CloseElement(Converter* c, const Tag& tag, std::vector<OpenTag>* open) {
    for (size_t i = open->size(); i-- > 0;) {
        if ((*open)[i].name != tag.name) continue;
        while (open->size() > i) {
            const OpenTag& top = open->back();
            Enter(c, top.kind, -1);
            bool empty = top.lettersAtOpen == c->draft.letters + c->paragraphs->size();
            if (top.kind == kTagCrossReference) Count(c, empty ? "cross-reference markers dropped" : "other tags unwrapped");
            if (top.kind == kTagOther && !c->dropDepth) Count(c, "other tags unwrapped");
            open->pop_back();
        }
        return;
    }
    Count(c, "stray closing tags dropped");
}

void HandleTag(Converter* c, const Tag& tag, std::vector<OpenTag>* open) {
    if (tag.name == "br") {
        if (!c->dropDepth) EndParagraph(c);
    } else if (tag.name == "hr") {
        if (!c->dropDepth) AddRule(c);
    } else if (tag.closing) {
        CloseElement(c, tag, open);
    } else {
        OpenElement(c, tag, open);
    }
}

// ---- Entities -----------------------------------------------------------------------

struct NamedEntity {
    const char* name;
    uint32_t codePoint;
};

const NamedEntity kEntities[] = {
    {"amp", '&'},       {"lt", '<'},        {"gt", '>'},        {"quot", '"'},      {"apos", '\''},
    {"nbsp", 0xA0},     {"ndash", 0x2013},  {"mdash", 0x2014},  {"hellip", 0x2026}, {"lsquo", 0x2018},
    {"rsquo", 0x2019},  {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"thinsp", 0x2009}, {"ensp", 0x2002},
    {"emsp", 0x2003},   {"lrm", 0x200E},    {"rlm", 0x200F},    {"zwj", 0x200D},    {"zwnj", 0x200C},
    {"shy", 0xAD},
};

// Reads "&name;" or "&#N;" / "&#xH;" at `at`; 0 when it is not one (the "&"
// is then text).
size_t ReadEntity(const std::string& raw, size_t at, uint32_t* codePoint) {
    size_t end = raw.find(';', at);
    if (end == std::string::npos || end - at > 12 || end == at + 1) return 0;
    std::string body = raw.substr(at + 1, end - at - 1);
    if (body[0] == '#') {
        bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
        std::string digits = body.substr(hex ? 2 : 1);
        if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
            return 0;
        unsigned long value = strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
        if (value == 0 || value > 0x10FFFF) return 0;
        *codePoint = (uint32_t)value;
        return end + 1 - at;
    }
    for (const NamedEntity& e : kEntities) {
        if (body == e.name) {
            *codePoint = e.codePoint;
            return end + 1 - at;
        }
    }
    return 0;
}

}  // namespace

void ConvertSegment(const std::string& raw, const ImportPlace& where, ImportReport* report,
                    std::vector<ImportParagraph>* paragraphs) {
    Converter c = {&where, report, paragraphs, ParagraphDraft{"", 0, 0, 0, 0}, 0, 0, 0, 0, {}};
    std::vector<OpenTag> open;
    size_t at = 0, characters = 0;
    while (at < raw.size()) {
        Tag tag;
        uint32_t codePoint = 0;
        size_t length = 0;
        if (raw[at] == '<' && ReadTag(raw, at, &tag)) {
            HandleTag(&c, tag, &open);
            length = tag.length;
        } else if (raw[at] == '&' && (length = ReadEntity(raw, at, &codePoint)) != 0) {
            Count(&c, "entities decoded");
            AppendCharacter(&c, codePoint, characters);
        } else {
            length = ReadUtf8(raw, at, &codePoint);
            if (!length) {
                length = 1;
                codePoint = 0xFFFD;
            }
            AppendCharacter(&c, codePoint, characters);
        }
        for (size_t i = at; i < at + length; i++) characters += ((uint8_t)raw[i] & 0xC0) != 0x80;
        at += length;
    }
    EndParagraph(&c);
    for (const auto& count : c.counts) report->counts[count.first] += count.second;
}
