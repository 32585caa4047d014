#include "platform/dialog_template.h"

#include <string.h>

namespace {

const uint32_t kStyleSetFont = 0x40;  // DS_SETFONT (also in DS_SHELLFONT): a size and face follow the title
const uint16_t kOrdinalMark = 0xFFFF;

// A cursor over the template with a sticky failure: once a read would pass
// the end, every later read fails too.
struct TemplateReader {
    const uint8_t* bytes;
    size_t byteCount;
    size_t at;
    bool ok;
};

bool Skip(TemplateReader* reader, size_t count) {
    if (!reader->ok || count > reader->byteCount - reader->at) return reader->ok = false;
    reader->at += count;
    return true;
}

uint16_t ReadWord(TemplateReader* reader) {
    uint16_t value = 0;
    if (Skip(reader, 2)) memcpy(&value, reader->bytes + reader->at - 2, 2);
    return value;
}

uint32_t ReadDword(TemplateReader* reader) {
    uint32_t value = 0;
    if (Skip(reader, 4)) memcpy(&value, reader->bytes + reader->at - 4, 4);
    return value;
}

// A string ended by a zero unit.
void SkipString(TemplateReader* reader) {
    while (reader->ok && ReadWord(reader) != 0) {
    }
}

// A field that is empty (0), an ordinal (0xFFFF and one word) or a string.
void SkipStringOrOrdinal(TemplateReader* reader) {
    size_t start = reader->at;
    uint16_t first = ReadWord(reader);
    if (!reader->ok || first == 0) return;
    if (first == kOrdinalMark) {
        ReadWord(reader);
        return;
    }
    reader->at = start;
    SkipString(reader);
}

void AlignToDword(TemplateReader* reader) {
    size_t padding = (4 - reader->at % 4) % 4;
    if (reader->at + padding > reader->byteCount) {
        // The last item may end the resource without padding.
        reader->at = reader->byteCount;
        return;
    }
    reader->at += padding;
}

void ReadHeader(TemplateReader* reader, DialogTemplateInfo* info) {
    uint16_t version = ReadWord(reader);
    uint16_t signature = ReadWord(reader);
    info->extended = reader->ok && version == 1 && signature == kOrdinalMark;
    reader->at = 0;
    if (info->extended) {
        Skip(reader, 8);  // version, signature, help id
        info->exStyleOffset = 8;
        info->exStyle = ReadDword(reader);
        info->style = ReadDword(reader);
    } else {
        info->style = ReadDword(reader);
        info->exStyleOffset = 4;
        info->exStyle = ReadDword(reader);
    }
    info->itemCount = ReadWord(reader);
    Skip(reader, 8);  // x, y, cx, cy
    SkipStringOrOrdinal(reader);  // menu
    SkipStringOrOrdinal(reader);  // class
    SkipString(reader);           // title
    if (info->style & kStyleSetFont) {
        Skip(reader, info->extended ? 6 : 2);  // point size; weight, italic, character set
        SkipString(reader);
    }
}

void SkipItem(TemplateReader* reader, bool extended) {
    AlignToDword(reader);
    Skip(reader, extended ? 24 : 18);
    SkipStringOrOrdinal(reader);  // class
    SkipStringOrOrdinal(reader);  // title
    uint16_t extraBytes = ReadWord(reader);
    Skip(reader, extraBytes);
}

}  // namespace

bool ReadDialogTemplate(const uint8_t* bytes, size_t byteCount, DialogTemplateInfo* info) {
    memset(info, 0, sizeof(*info));
    TemplateReader reader = {bytes, bytes ? byteCount : 0, 0, true};
    ReadHeader(&reader, info);
    for (int i = 0; i < info->itemCount && reader.ok; i++) SkipItem(&reader, info->extended);
    return reader.ok;
}
