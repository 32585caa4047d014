// Index text: the record list behind the section outline, and the bookmark
// group put in front of it. Window-free, so it builds and is tested natively.
//
// A record is: id (16 bits, little-endian), style byte, indent byte, then the
// letter codes of its text and a zero byte. The list ends at a record whose
// style byte is 0; writers end it with five zero bytes.
#pragma once

#include <stdint.h>

const uint16_t kIndexLinkBit = 0x4000;     // the number is a section number
const uint16_t kIndexHeadingBit = 0x8000;  // the record expands and collapses
const uint16_t kIndexNumberMask = 0x3FFF;

const uint8_t kIndexStyleKeyMask = 0x1F;  // one font per key
const uint8_t kIndexExpanded = 0x40;
const uint8_t kIndexVisible = 0x80;
const uint8_t kIndexPlainStyle = 0x01;

const uint32_t kIndexRecordHeaderBytes = 4;
const uint32_t kIndexEndBytes = 5;
// Offsets into an index text are 16 bits wide: no walk goes further.
const uint32_t kMaxIndexTextBytes = 0xFFFF;

// An index text with the number of its bytes that may be read. The owner of
// the struct owns `bytes` (PlatformFree), unless a function says otherwise.
struct IndexText {
    uint8_t* bytes;
    uint32_t byteCount;
};

struct IndexRecord {
    uint32_t offset;  // of the id
    uint16_t id;
    uint8_t style;
    uint8_t indent;
    uint32_t textOffset;
    uint32_t textLength;  // bytes before the text's zero byte
};

// Walks the records of an index text. A record is only handed out when the
// whole of it, its text's zero byte included, lies inside the bound; so a
// record that runs past the end, or a text without its zero byte, ends the
// list at the last whole record.
struct IndexWalker {
    const uint8_t* text;
    uint32_t limit;  // min(byteCount, kMaxIndexTextBytes)
    uint32_t position;
};

void StartIndexWalk(IndexWalker* walker, const uint8_t* text, uint32_t byteCount);
bool NextIndexRecord(IndexWalker* walker, IndexRecord* record);

// Bytes of the whole records before the end of the list.
uint32_t IndexRecordsBytes(const uint8_t* text, uint32_t byteCount);

// The first record whose id is exactly `id`; false when there is none.
bool FindIndexRecord(const uint8_t* text, uint32_t byteCount, uint16_t id, IndexRecord* found);

// The bookmark group: a heading (id 0x8877, style 0xC1, indent 1, "jiyu")
// and, for each bookmark in list order whose section has a link in `index`,
// a link record (style 0x81, indent 2) with the index's own text for it.
const uint16_t kBookmarkGroupId = 0x8877;
const uint8_t kBookmarkGroupStyle = 0xC1;
const uint8_t kBookmarkLinkStyle = 0x81;

// Returns the text the chooser lays out: a new buffer with the group in front
// of `index`, or `index` itself when the list is empty or memory runs out.
// `bookmarks` holds `bookmarkCount` section numbers, and a 0 entry ends it
// early. Takes ownership of `index`: a new buffer replaces it, released. When
// the joined text would not fit 65,535 bytes, the index comes back alone.
IndexText PrependBookmarkGroup(const uint16_t* bookmarks, uint16_t bookmarkCount, IndexText index);
