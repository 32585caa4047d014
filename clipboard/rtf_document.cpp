#include "clipboard/rtf_document.h"

#include <string.h>

#include "clipboard/byte_sink.h"

const char kRtfHeader[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset177\\cpg1255 David;}}"
    "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green0\\blue0;}"
    "\\rtldoc\\pard\\rtlpar\\qr\\lang1033\\f0\\fs20\\uc0\r\n";
const char kRtfSeparator[] = "\\qc\\cf2\\fs72\\b*  *  *  *  *\\b0\\par\\par\\qr\\fs20\\cf0\r\n";

static_assert(sizeof(kRtfHeader) - 1 == kRtfHeaderBytes, "header length");
static_assert(sizeof(kRtfSeparator) - 1 == kRtfSeparatorBytes, "separator length");

namespace {

const char kRtfSignature[] = "{\\rtf";
const size_t kRtfSignatureBytes = sizeof(kRtfSignature) - 1;
const char kRtfEnd[] = "}\r\n";
const size_t kRtfEndBytes = sizeof(kRtfEnd) - 1;

// After another program's document nothing of its state may be assumed: a
// word processor leaves \uc1 in force, so each escape would swallow the
// character after it, and its last paragraph's direction, alignment and
// colours would run on. The group resets all of it and ends with the body.
const char kForeignSeparatorStart[] = "\\pard\\plain\\rtlpar\\qc\\uc0\\cf";
const char kForeignSeparatorEnd[] = "\\fs72\\b*  *  *  *  *\\b0\\par\\par\\qr\\plain\\uc0\\fs20\r\n";
const char kSeparatorColor[] = "\\red255\\green0\\blue0;";
const char kColorTableStart[] = "{\\colortbl;";  // entry 0 stays the reader's automatic colour
const size_t kNewTableColorIndex = 1;

// The text of groups that start with one of these is no document text.
const char* const kHiddenDestinations[] = {
    "fonttbl", "colortbl", "stylesheet", "info", "pict", "listtable", "listoverridetable", "header", "headerl",
    "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "object",
    "filetbl", "revtbl", "rsidtbl", "generator", "xmlnstbl", "themedata", "colorschememapping", "latentstyles",
    "datastore", "fldinst", "author", "title", "subject", "operator", "keywords", "comment", "doccomm",
    "creatim", "revtim", "printim", "buptim",
};
const char* const kParagraphMarks[] = {"par", "sect", "row", "cell"};
const char* const kCharacterWords[] = {"u", "tab", "line", "emdash", "endash", "emspace", "enspace",
                                       "bullet", "lquote", "rquote", "ldblquote", "rdblquote"};
// Longer numbers than this are read as this long: no reader goes further.
const size_t kMaxParameterDigits = 10;

struct ControlWord {
    const char* name;
    size_t nameBytes;
    bool hasParameter;
    long long parameter;
};

template <size_t count>
bool IsOneOf(const ControlWord& word, const char* const (&names)[count]) {
    for (const char* name : names) {
        if (strlen(name) == word.nameBytes && memcmp(name, word.name, word.nameBytes) == 0) return true;
    }
    return false;
}

bool Is(const ControlWord& word, const char* name) {
    return strlen(name) == word.nameBytes && memcmp(name, word.name, word.nameBytes) == 0;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsTrailingBlank(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; }

// One pass over another program's document, with a bound on every read.
struct ForeignScan {
    const char* bytes;
    size_t byteCount;
    size_t at;
    size_t depth;
    size_t hiddenFrom;  // depth of the outermost group without document text; 0 when none
    bool groupJustOpened;
    bool firstWordRead;
    size_t colorTableDepth;  // 0 unless inside the colour table
    size_t colorEntries;     // its ";" so far
    bool colorEntryStarted;
    bool stopped;
    ForeignRtf found;
};

// The document can only be continued before `tokenStart`: what follows it
// would swallow the bytes appended after it.
void StopBefore(ForeignScan* scan, size_t tokenStart) {
    scan->found.keptBytes = tokenStart;
    scan->found.openGroups = scan->depth;
    scan->at = scan->byteCount;
    scan->stopped = true;
}

void NoteText(ForeignScan* scan) {
    if (!scan->hiddenFrom) scan->found.paragraphOpen = true;
}

void OpenGroup(ForeignScan* scan) {
    scan->depth++;
    scan->groupJustOpened = true;
    scan->at++;
}

void CloseGroup(ForeignScan* scan) {
    if (scan->depth == 0) {
        StopBefore(scan, scan->at);  // not Rich Text after all
        return;
    }
    if (scan->colorTableDepth == scan->depth) {
        ForeignRtf& found = scan->found;
        found.hasColorTable = true;
        found.colorInsertAt = scan->at;
        found.colorEntryOpen = scan->colorEntryStarted;
        found.colorIndex = scan->colorEntries + (scan->colorEntryStarted ? 1 : 0);
        scan->colorTableDepth = 0;
    }
    if (scan->hiddenFrom == scan->depth) scan->hiddenFrom = 0;
    scan->groupJustOpened = false;
    if (--scan->depth == 0) {
        StopBefore(scan, scan->at);  // its closing brace: what follows is no part of it
        scan->found.openGroups = 1;
        return;
    }
    scan->at++;
}

void ReadPlainByte(ForeignScan* scan) {
    char c = scan->bytes[scan->at++];
    scan->groupJustOpened = false;
    if (c == '\r' || c == '\n') return;  // line ends in the file are no text
    if (scan->colorTableDepth == scan->depth && c == ';') {
        scan->colorEntries++;
        scan->colorEntryStarted = false;
    }
    NoteText(scan);
}

// A control word at `at`: letters, then an optional signed number, then an
// optional space that belongs to the word.
ControlWord ReadControlWord(ForeignScan* scan) {
    ControlWord word = {scan->bytes + scan->at + 1, 0, false, 0};
    size_t at = scan->at + 1;
    while (at < scan->byteCount && IsLetter(scan->bytes[at])) at++;
    word.nameBytes = at - scan->at - 1;
    bool negative = at + 1 < scan->byteCount && scan->bytes[at] == '-' && IsDigit(scan->bytes[at + 1]);
    if (negative) at++;
    size_t digits = 0;
    while (at < scan->byteCount && IsDigit(scan->bytes[at])) {
        if (digits++ < kMaxParameterDigits) word.parameter = word.parameter * 10 + (scan->bytes[at] - '0');
        at++;
    }
    word.hasParameter = digits > 0;
    if (negative) word.parameter = -word.parameter;
    if (at < scan->byteCount && scan->bytes[at] == ' ') at++;
    scan->at = at;
    return word;
}

void NoteControlWord(ForeignScan* scan, const ControlWord& word, bool startsGroup) {
    if (startsGroup && !scan->hiddenFrom && IsOneOf(word, kHiddenDestinations)) scan->hiddenFrom = scan->depth;
    if (startsGroup && scan->depth == 2 && !scan->found.hasColorTable && Is(word, "colortbl")) {
        scan->colorTableDepth = scan->depth;
        return;
    }
    if (scan->colorTableDepth == scan->depth) scan->colorEntryStarted = true;
    if (scan->hiddenFrom) return;
    if (IsOneOf(word, kParagraphMarks)) scan->found.paragraphOpen = false;
    if (IsOneOf(word, kCharacterWords)) NoteText(scan);
}

void ReadWord(ForeignScan* scan) {
    size_t start = scan->at;
    bool startsGroup = scan->groupJustOpened;
    scan->groupJustOpened = false;
    ControlWord word = ReadControlWord(scan);
    if (!scan->firstWordRead) {
        scan->firstWordRead = true;
        scan->found.colorInsertAt = scan->at;  // after "\rtf1", until a table turns up
    }
    NoteControlWord(scan, word, startsGroup);
    if (Is(word, "bin") && word.hasParameter && word.parameter > 0) {
        if ((unsigned long long)word.parameter > scan->byteCount - scan->at) {
            StopBefore(scan, start);
            return;
        }
        scan->at += (size_t)word.parameter;  // raw bytes: braces there are data
    }
}

void ReadSymbol(ForeignScan* scan) {
    size_t start = scan->at;
    char symbol = scan->bytes[start + 1];
    bool startsGroup = scan->groupJustOpened;
    scan->groupJustOpened = false;
    if (symbol == '\'') {
        if (scan->byteCount - start < 4) {
            StopBefore(scan, start);
            return;
        }
        scan->at += 4;
        NoteText(scan);
        return;
    }
    scan->at += 2;
    if (symbol == '*') {
        if (startsGroup && !scan->hiddenFrom) scan->hiddenFrom = scan->depth;
        scan->groupJustOpened = startsGroup;  // the destination's name comes next
    } else if (symbol == '\r' || symbol == '\n') {
        if (!scan->hiddenFrom) scan->found.paragraphOpen = false;  // a backslash before a line end is \par
    } else {
        NoteText(scan);
    }
}

void ReadControl(ForeignScan* scan) {
    if (scan->byteCount - scan->at < 2) {
        StopBefore(scan, scan->at);  // a lone backslash would escape what follows
        return;
    }
    if (IsLetter(scan->bytes[scan->at + 1])) {
        ReadWord(scan);
    } else {
        ReadSymbol(scan);
    }
}

template <typename Sink>
void PutSeparatorColor(Sink& sink, const ForeignRtf& foreign) {
    if (!foreign.hasColorTable) {
        sink.Put(kColorTableStart, sizeof(kColorTableStart) - 1);
        sink.Put(kSeparatorColor, sizeof(kSeparatorColor) - 1);
        sink.Put('}');
        return;
    }
    if (foreign.colorEntryOpen) sink.Put(';');
    sink.Put(kSeparatorColor, sizeof(kSeparatorColor) - 1);
}

// The old document up to where it can be continued, with the separator's
// colour added to its table, its open groups closed, then the group of the
// new part up to its body.
template <typename Sink>
void PutForeignOpening(Sink& sink, const char* old, const ForeignRtf& foreign) {
    size_t insertAt = foreign.colorInsertAt < foreign.keptBytes ? foreign.colorInsertAt : foreign.keptBytes;
    sink.Put(old, insertAt);
    PutSeparatorColor(sink, foreign);
    sink.Put(old + insertAt, foreign.keptBytes - insertAt);
    if (foreign.openGroups > 1) sink.PutRepeated('}', foreign.openGroups - 1);
    sink.Put('{');
    if (foreign.paragraphOpen) sink.Put("\\par", 4);  // its last paragraph keeps its own look
    sink.Put(kForeignSeparatorStart, sizeof(kForeignSeparatorStart) - 1);
    PutDecimal(sink, foreign.colorIndex);
    sink.Put(kForeignSeparatorEnd, sizeof(kForeignSeparatorEnd) - 1);
}

template <typename Sink>
void PutDocument(Sink& sink, const RtfAppendBase& base, const char* body, size_t bodyBytes) {
    switch (base.kind) {
    case kRtfBaseNone:
        sink.Put(kRtfHeader, kRtfHeaderBytes);
        break;
    case kRtfBaseOurs:
        sink.Put(base.bytes, TrimRtfForAppend(base.bytes, base.byteCount));
        sink.Put(kRtfSeparator, kRtfSeparatorBytes);
        break;
    case kRtfBaseText:
        sink.Put(kRtfHeader, kRtfHeaderBytes);
        sink.Put(base.bytes, base.byteCount);
        sink.Put(kRtfSeparator, kRtfSeparatorBytes);
        break;
    case kRtfBaseForeign:
        PutForeignOpening(sink, base.bytes, base.foreign);
        break;
    }
    sink.Put(body, bodyBytes);
    if (base.kind == kRtfBaseForeign) sink.Put('}');
    sink.Put(kRtfEnd, kRtfEndBytes);
}

}  // namespace

ForeignRtf ScanForeignRtf(const char* old, size_t oldBytes) {
    ForeignScan scan = {};
    scan.bytes = old;
    scan.byteCount = oldBytes;
    scan.found.keptBytes = oldBytes;
    scan.found.colorIndex = kNewTableColorIndex;
    while (scan.at < scan.byteCount) {
        char c = old[scan.at];
        if (c == '{') {
            OpenGroup(&scan);
        } else if (c == '}') {
            CloseGroup(&scan);
        } else if (c == '\\') {
            ReadControl(&scan);
        } else {
            ReadPlainByte(&scan);
        }
    }
    if (!scan.stopped) scan.found.openGroups = scan.depth;
    return scan.found;
}

RtfAppendBase RtfBaseFromDocument(const char* old, size_t oldBytes) {
    RtfAppendBase base = {};
    if (!old || oldBytes < kRtfSignatureBytes || memcmp(old, kRtfSignature, kRtfSignatureBytes) != 0) return base;
    base.bytes = old;
    base.byteCount = oldBytes;
    if (oldBytes >= kRtfHeaderBytes && memcmp(old, kRtfHeader, kRtfHeaderBytes) == 0) {
        base.kind = kRtfBaseOurs;
    } else {
        base.kind = kRtfBaseForeign;
        base.foreign = ScanForeignRtf(old, oldBytes);
    }
    return base;
}

RtfAppendBase RtfBaseFromTextBody(const char* body, size_t bodyBytes) {
    RtfAppendBase base = {};
    base.kind = kRtfBaseText;
    base.bytes = body;
    base.byteCount = bodyBytes;
    return base;
}

size_t TrimRtfForAppend(const char* old, size_t oldBytes) {
    size_t kept = oldBytes;
    while (kept > 0 && IsTrailingBlank(old[kept - 1])) kept--;
    if (kept > 0 && old[kept - 1] == '}') kept--;
    return kept;
}

size_t RtfDocumentBytes(const RtfAppendBase& base, size_t bodyBytes) {
    ByteCounter counter;
    PutDocument(counter, base, nullptr, bodyBytes);
    return counter.count + 1;
}

size_t WriteRtfDocument(char* out, const RtfAppendBase& base, const char* body, size_t bodyBytes) {
    ByteWriter writer{out};
    PutDocument(writer, base, body, bodyBytes);
    *writer.next = 0;
    return (size_t)(writer.next - out);
}
