// Rich Text documents for the clipboard, new or appended, with no window
// needed. What an Append finds decides how the new part is joined on: after
// one of this program's documents the fixed separator follows directly; after
// another program's document the new part brings all its state in a group of
// its own; plain text alone becomes the first body of a new document.
#pragma once

#include <stddef.h>

// The opening of a new document: Hebrew font "David", three colours, right to
// left, 10-point type, no fallback characters after Unicode escapes.
extern const char kRtfHeader[];
const size_t kRtfHeaderBytes = 180;
// Put between an old document of ours and the appended body: a centred row of
// five red 36-point asterisks, then back to right-aligned 10-point black.
extern const char kRtfSeparator[];
const size_t kRtfSeparatorBytes = 52;

// What another program's document leaves in force at its end, as far as the
// part appended to it is concerned. Offsets are into the old bytes.
struct ForeignRtf {
    size_t keptBytes;      // up to its closing brace, or as far as it can be continued
    size_t openGroups;     // groups open after the kept bytes, the document's own included
    bool paragraphOpen;    // text follows its last paragraph mark
    bool hasColorTable;
    size_t colorInsertAt;  // where the separator's colour goes: into its table, or a new table
    bool colorEntryOpen;   // the table's last entry lacks its ";"
    size_t colorIndex;     // the separator colour's number in the table
};

// Reads `old`, which begins with "{\rtf", never past `oldBytes`.
ForeignRtf ScanForeignRtf(const char* old, size_t oldBytes);

enum RtfBaseKind {
    kRtfBaseNone,     // nothing to append to: a new document
    kRtfBaseOurs,     // a document that begins with our header
    kRtfBaseForeign,  // any other Rich Text
    kRtfBaseText,     // the body encoded from the clipboard's plain text
};

// What the new body is appended to. Borrows `bytes`.
struct RtfAppendBase {
    RtfBaseKind kind;
    const char* bytes;
    size_t byteCount;
    ForeignRtf foreign;  // kRtfBaseForeign only
};

// The base for the clipboard's old Rich Text: none when there is none, or when
// it does not begin with "{\rtf" (then it is no Rich Text at all).
RtfAppendBase RtfBaseFromDocument(const char* old, size_t oldBytes);
// The base for a body that BuildRtfBody made of the clipboard's plain text.
RtfAppendBase RtfBaseFromTextBody(const char* body, size_t bodyBytes);

// The length of one of our documents without its trailing CR, LF, space and
// TAB bytes and then without one closing "}".
size_t TrimRtfForAppend(const char* old, size_t oldBytes);

// The exact size, terminator included, of the document of a body of
// `bodyBytes` on `base`. Programs under X receive the whole memory block, so
// it has no spare bytes.
size_t RtfDocumentBytes(const RtfAppendBase& base, size_t bodyBytes);

// Writes that document into `out`, which holds RtfDocumentBytes(base,
// bodyBytes), and returns its length before the terminating 0.
size_t WriteRtfDocument(char* out, const RtfAppendBase& base, const char* body, size_t bodyBytes);
