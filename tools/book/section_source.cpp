// Section files: paragraphs with markup into paragraph records and back.
#include <stdio.h>

#include "content/section_records.h"
#include "tools/book/book_source.h"
#include "tools/book/book_text.h"
#include "tools/book/source_lines.h"

namespace {

const char kCommentaryDirective[] = "@commentary";
const size_t kMaxSectionBytes = 0xFFFF;
const int kMaxRulePixels = 160;
const int kPercentBase = 160;  // rule values above this are percentages / 2

// What one paragraph line asks for, before it becomes a record.
struct ParagraphMarkup {
    bool title, subtitle, large, small, bold, raw, cont;
    int align;        // alignment bits, or -1 for the default (right)
    int indentPx;     // 0..63
    int hang;         // 0..3
    int plain;        // -1 default, 0 off, 1 on
    int flags;        // -1, or bits 0-6 given outright
    int spacerValue;  // -1 for a text record
};

struct ParagraphOut {
    int line;
    uint8_t flags;
    uint8_t indent;
    std::vector<uint8_t> stored;
};

bool IsStyleOption(const ParagraphMarkup& m) {
    return m.title || m.subtitle || m.large || m.small || m.bold || m.raw || m.align >= 0 ||
           m.plain >= 0;
}

bool ReadSpacerOption(const MarkupOption& option, ParagraphMarkup* m, std::string* reason) {
    if (option.name == "spacer" && !option.hasValue) {
        m->spacerValue = 0;
        return true;
    }
    long number = 0;
    const std::string& v = option.value;
    if (!v.empty() && v.back() == '%') {
        if (!ReadNumber(v.substr(0, v.size() - 1), 2, 190, &number) || number % 2) {
            *reason = "a rule's percentage must be even, from 2% to 190%";
            return false;
        }
        m->spacerValue = kPercentBase + (int)number / 2;
        return true;
    }
    if (!ReadNumber(v, 1, kMaxRulePixels, &number)) {
        *reason = "a rule is 1 to 160 pixels long, or a percentage such as rule=50%";
        return false;
    }
    m->spacerValue = (int)number;
    return true;
}

bool ReadParagraphOption(const MarkupOption& o, ParagraphMarkup* m, std::string* reason) {
    const std::string& n = o.name;
    long number = 0;
    if (!o.hasValue) {
        if (n == "title") m->title = true;
        else if (n == "subtitle") m->subtitle = true;
        else if (n == "large") m->large = true;
        else if (n == "small") m->small = true;
        else if (n == "bold") m->bold = true;
        else if (n == "raw") m->raw = true;
        else if (n == "cont") m->cont = true;
        else if (n == "right") m->align = kAlignRight;
        else if (n == "center" || n == "centre") m->align = kAlignCentre;
        else if (n == "left") m->align = 0;
        else if (n == "plain") m->plain = 1;
        else if (n == "noplain") m->plain = 0;
        else if (n == "spacer") return ReadSpacerOption(o, m, reason);
        else {
            *reason = "unknown markup \"" + n + "\"";
            return false;
        }
        return true;
    }
    if (n == "rule") return ReadSpacerOption(o, m, reason);
    if (n == "indent") {
        if (!ReadNumber(o.value, 0, kIndentMask, &number)) {
            *reason = "indent is 0 to 63 pixels";
            return false;
        }
        m->indentPx = (int)number;
    } else if (n == "hang") {
        if (!ReadNumber(o.value, 1, 3, &number)) {
            *reason = "hang is 1, 2 or 3 (the hanging column is hang+1 half widths of the widest letter)";
            return false;
        }
        m->hang = (int)number;
    } else if (n == "flags") {
        if (!ReadNumber(o.value, 1, 0x7F, &number)) {
            *reason = "flags is a byte from 0x01 to 0x7F (the blank-row bit comes from a blank line)";
            return false;
        }
        m->flags = (int)number;
    } else {
        *reason = "unknown markup \"" + n + "=\"";
        return false;
    }
    return true;
}

bool CheckSpacerMarkup(const ParagraphMarkup& m, const std::vector<uint8_t>& text, std::string* reason) {
    if (m.title || m.subtitle || m.large || m.small || m.bold || m.raw || m.plain >= 0 || m.cont ||
        m.hang || m.indentPx) {
        *reason = "a rule or spacer takes only an alignment (and flags=); styles, indents and hanging do not apply";
        return false;
    }
    if (m.flags >= 0 && m.align >= 0) {
        *reason = "flags= gives the alignment itself; leave out right, center and left";
        return false;
    }
    if (m.flags >= 0 && (m.flags & kSpacerFlags) != kSpacerFlags) {
        *reason = "a rule's flags must keep the three low bits set";
        return false;
    }
    if (m.spacerValue == 0 && !text.empty()) {
        *reason = "a spacer cannot carry text";
        return false;
    }
    return true;
}

bool CheckTextMarkup(const ParagraphMarkup& m, size_t index, std::string* reason) {
    if ((m.title || m.subtitle) && (m.large || m.small || m.bold || m.raw || m.align >= 0 ||
                                    m.plain >= 0 || m.flags >= 0 || (m.title && m.subtitle))) {
        *reason = "title and subtitle fix the style; give them no other style";
        return false;
    }
    if (m.flags >= 0 && IsStyleOption(m)) {
        *reason = "flags= gives the whole style; leave out the style and alignment words";
        return false;
    }
    if (m.flags >= 0 && (m.flags & kSpacerFlags) == kSpacerFlags) {
        *reason = "flags with the three low bits set make a rule; write rule= or spacer";
        return false;
    }
    if (m.large && m.small) {
        *reason = "a paragraph is large or small, not both";
        return false;
    }
    if (m.cont && index == 0) {
        *reason = "a continuation (cont) needs a paragraph before it";
        return false;
    }
    return true;
}

uint8_t TextRecordFlags(const ParagraphMarkup& m) {
    if (m.title) return kTitleFlags;
    if (m.subtitle) return kSubtitleFlags;
    if (m.flags >= 0) return (uint8_t)m.flags;
    uint8_t flags = m.raw ? 0 : kFlagReversed;
    flags |= (uint8_t)(m.align >= 0 ? m.align : kAlignRight);
    if (m.large) flags |= kFlagLarge;
    if (m.small) flags |= kFlagSmall;
    if (m.bold) flags |= kFlagBold;
    bool plain = m.plain >= 0 ? m.plain == 1 : !(m.large || m.small || m.bold);
    if (plain) flags |= 1;
    return flags;
}

bool BuildParagraph(const ParagraphMarkup& m, const std::vector<uint8_t>& text, size_t index,
                    ParagraphOut* out, std::string* reason) {
    if (m.spacerValue >= 0) {
        if (!CheckSpacerMarkup(m, text, reason)) return false;
        out->flags = (uint8_t)(m.flags >= 0 ? m.flags : kSpacerFlags | (m.align >= 0 ? m.align : kAlignRight));
        out->indent = (uint8_t)m.spacerValue;
        out->stored = ToDrawingOrder(text);  // never shown; the search reads it in drawing order
        return true;
    }
    if (!CheckTextMarkup(m, index, reason)) return false;
    out->flags = TextRecordFlags(m);
    int hang = m.cont && !m.hang ? 1 : m.hang;
    out->indent = (uint8_t)(hang << kHangingShift | m.indentPx);
    out->stored = (out->flags & kFlagReversed) ? ToDrawingOrder(text) : text;
    if (!m.cont && hang && index > 0 && !out->stored.empty() && out->stored[0] == ' ') {
        *reason = "the reader takes a hanging paragraph whose stored text opens with a space for a continuation: "
                  "write cont, or drop the space kept at the end of the text";
        return false;
    }
    if (m.cont) out->stored.insert(out->stored.begin(), ' ');
    if (index == 0 && out->stored.empty()) {
        *reason = "the first paragraph of a section needs text: the reader refuses a section that opens with an empty one";
        return false;
    }
    return true;
}

bool CheckTitlePlace(const ParagraphMarkup& m, const std::vector<ParagraphOut>& done, std::string* reason) {
    if (m.title && !done.empty()) {
        *reason = "a title must be the first paragraph of its section";
        return false;
    }
    bool afterTitle = done.size() == 1 && done[0].flags == kTitleFlags;
    if (m.subtitle && !done.empty() && !afterTitle) {
        *reason = "a subtitle must open the section or follow its title";
        return false;
    }
    return true;
}

// Parses one paragraph line; false after adding a diagnostic.
bool ParseParagraphLine(const std::string& file, const SourceLine& line,
                        std::vector<ParagraphOut>* paragraphs, BookDiagnostics* diagnostics) {
    std::vector<MarkupOption> options;
    std::string text, reason;
    ParagraphMarkup m = {false, false, false, false, false, false, false, -1, 0, 0, -1, -1, -1};
    bool ok = ReadMarkup(line.text, &options, &text, &reason);
    for (size_t i = 0; ok && i < options.size(); i++) ok = ReadParagraphOption(options[i], &m, &reason);
    if (!ok) {
        AddDiagnostic(diagnostics, file, line.number, reason);
        return false;
    }
    std::vector<uint8_t> codes;
    if (!EncodeLineText(file, line, text, &codes, diagnostics)) return false;
    ParagraphOut out;
    out.line = line.number;
    if (!CheckTitlePlace(m, *paragraphs, &reason) ||
        !BuildParagraph(m, codes, paragraphs->size(), &out, &reason)) {
        AddDiagnostic(diagnostics, file, line.number, reason);
        return false;
    }
    paragraphs->push_back(out);
    return true;
}

void AppendRecord(std::vector<uint8_t>* text, const ParagraphOut& p) {
    text->push_back(p.flags);
    text->push_back(p.indent);
    text->insert(text->end(), p.stored.begin(), p.stored.end());
    text->push_back(0);
}

// ---- Writing source back ----------------------------------------------------

std::string Hex(unsigned value) {
    char buffer[8];
    snprintf(buffer, sizeof buffer, "0x%02X", value);
    return buffer;
}

void AddWord(std::string* markup, const std::string& word) {
    if (word.empty()) return;
    if (!markup->empty()) markup->push_back(' ');
    *markup += word;
}

std::string AlignmentWord(uint8_t align) {
    if (align == kAlignCentre) return "center";
    if (align == 0) return "left";
    return "";  // right is the default
}

std::string SpacerMarkup(uint8_t flags, uint8_t value) {
    std::string markup;
    if (value == 0) AddWord(&markup, "spacer");
    else if (value <= kMaxRulePixels) AddWord(&markup, "rule=" + std::to_string(value));
    else AddWord(&markup, "rule=" + std::to_string((value - kPercentBase) * 2) + "%");
    uint8_t rest = flags & 0x7F & ~kAlignMask;
    uint8_t align = flags & kAlignMask;
    if (rest != kSpacerFlags || align == kAlignMask) AddWord(&markup, "flags=" + Hex(flags & 0x7F));
    else AddWord(&markup, AlignmentWord(align));
    return markup;
}

// Style words for a text record's flags, or flags= when words cannot say it.
std::string TextStyleMarkup(uint8_t flags, bool titlePlace, bool subtitlePlace) {
    std::string markup;
    if (titlePlace && flags == kTitleFlags) return "title";
    if (subtitlePlace && flags == kSubtitleFlags) return "subtitle";
    uint8_t align = flags & kAlignMask;
    bool large = flags & kFlagLarge, small = flags & kFlagSmall, bold = flags & kFlagBold;
    if (align == kAlignMask || (large && small)) return "flags=" + Hex(flags & 0x7F);
    if (!(flags & kFlagReversed)) AddWord(&markup, "raw");
    if (large) AddWord(&markup, "large");
    if (small) AddWord(&markup, "small");
    if (bold) AddWord(&markup, "bold");
    AddWord(&markup, AlignmentWord(align));
    bool plainDefault = !(large || small || bold);
    if ((bool)(flags & 1) != plainDefault) AddWord(&markup, (flags & 1) ? "plain" : "noplain");
    return markup;
}

std::string ParagraphToLine(const ParagraphRecord& r, const uint8_t* text, size_t index, uint8_t firstFlags) {
    std::vector<uint8_t> stored(text + r.textOffset, text + r.textOffset + r.textLength);
    std::string markup;
    std::vector<uint8_t> reading;
    if (IsSpacerRecord(r.flags)) {
        markup = SpacerMarkup(r.flags, r.indent);
        reading = ToDrawingOrder(stored);
    } else {
        markup = TextStyleMarkup(r.flags, index == 0, index == 0 || (index == 1 && firstFlags == kTitleFlags));
        int hang = HangingCode(r.indent);
        bool cont = hang && index > 0 && !stored.empty() && stored[0] == ' ';
        if (cont) {
            stored.erase(stored.begin());
            AddWord(&markup, "cont");
        }
        if (hang && !(cont && hang == 1)) AddWord(&markup, "hang=" + std::to_string(hang));
        if (IndentPixels(r.indent)) AddWord(&markup, "indent=" + std::to_string(IndentPixels(r.indent)));
        reading = (r.flags & kFlagReversed) ? ToDrawingOrder(stored) : stored;
    }
    std::string body = DecodeToSourceText(reading);
    if (markup.empty()) return body.empty() ? "[]" : body;
    return "[" + markup + "]" + (body.empty() ? "" : " " + body);
}

}  // namespace

bool ParseSectionSource(const std::string& file, int firstLine, const std::string& source,
                        std::vector<uint8_t>* text, BookDiagnostics* diagnostics) {
    size_t errorsBefore = diagnostics->size();
    std::vector<ParagraphOut> paragraphs;
    for (const SourceLine& line : SplitSourceLines(source, firstLine, nullptr)) {
        if (line.text.empty()) {
            if (!paragraphs.empty()) paragraphs.back().flags |= kFlagParagraphEnd;
        } else if (line.text[0] == '#') {
            continue;
        } else if (line.text[0] == '@') {
            AddDiagnostic(diagnostics, file, line.number,
                          "unknown directive \"" + line.text + "\" (write \\@ for an @ that opens a paragraph)");
        } else {
            ParseParagraphLine(file, line, &paragraphs, diagnostics);
        }
    }
    // Left-aligned, unreversed text without the plain bit and without a blank
    // row has a zero flags byte, which would end the section there.
    for (const ParagraphOut& p : paragraphs)
        if (p.flags == 0)
            AddDiagnostic(diagnostics, file, p.line,
                          "this paragraph's flags byte would be 0, which ends the section: drop noplain or raw, or give it a blank line");
    if (diagnostics->size() != errorsBefore) return false;
    if (paragraphs.empty()) {
        AddDiagnostic(diagnostics, file, firstLine, "the section has no paragraphs");
        return false;
    }
    text->clear();
    for (const ParagraphOut& p : paragraphs) AppendRecord(text, p);
    text->push_back(0);
    if (text->size() > kMaxSectionBytes) {
        AddDiagnostic(diagnostics, file, firstLine,
                      "the section is " + std::to_string(text->size()) +
                          " bytes when stored; a section holds at most 65535");
        return false;
    }
    return true;
}

bool ParsePairSource(const std::string& file, const std::string& source, SectionPair* pair,
                     BookDiagnostics* diagnostics) {
    std::vector<SourceLine> lines = SplitSourceLines(source, 1, nullptr);
    int split = 0;
    for (const SourceLine& line : lines) {
        if (line.text != kCommentaryDirective) continue;
        if (split) {
            AddDiagnostic(diagnostics, file, line.number, "a second \"@commentary\" line; a file holds one pair");
            return false;
        }
        split = line.number;
    }
    if (!split) {
        AddDiagnostic(diagnostics, file, 0,
                      "the commentary section is missing: it follows a line \"@commentary\"");
        return false;
    }
    // Split at the directive's line, keeping line numbers for both halves.
    size_t at = 0;
    for (int n = 1; n < split; n++) at = source.find('\n', at) + 1;
    size_t after = source.find('\n', at);
    std::string mainPart = source.substr(0, at);
    std::string commentaryPart = after == std::string::npos ? "" : source.substr(after + 1);
    bool mainOk = ParseSectionSource(file, 1, mainPart, &pair->mainText, diagnostics);
    bool commentaryOk = ParseSectionSource(file, split + 1, commentaryPart, &pair->commentaryText, diagnostics);
    return mainOk && commentaryOk;
}

bool SectionTextToSource(const uint8_t* text, size_t length, std::string* source, std::string* reason) {
    std::vector<uint8_t> padded(text, text + length);
    padded.insert(padded.end(), 3, 0);
    RecordWalker walker;
    StartRecordWalk(&walker, padded.data(), (uint32_t)padded.size());
    ParagraphRecord record;
    size_t index = 0;
    uint8_t firstFlags = 0;
    source->clear();
    while (NextParagraphRecord(&walker, &record)) {
        if (record.nextOffset > length) {
            *reason = "the last paragraph runs past the end of the section";
            return false;
        }
        if (index == 0) firstFlags = record.flags;
        *source += ParagraphToLine(record, padded.data(), index, firstFlags) + "\n";
        if (record.flags & kFlagParagraphEnd) *source += "\n";
        index++;
    }
    if (walker.damaged) {
        *reason = "the paragraph records are damaged";
        return false;
    }
    if (index == 0) {
        *reason = "the section has no paragraphs";
        return false;
    }
    return true;
}
