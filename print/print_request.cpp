// Reading the /print command line.
#include "print/print_request.h"

#include <string.h>

#include "content/book_numbers.h"
#include "navigation/section_numeral.h"

namespace {

const int kArgumentChars = kPrintNameChars;

// The command line, one argument at a time.
struct ArgumentReader {
    const wchar_t* text;
    size_t at;
    size_t end;
};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The next argument into `argument`; false when none is left, or when it
// does not fit (*tooLong is then set).
bool NextArgument(ArgumentReader* reader, wchar_t* argument, bool* tooLong) {
    while (reader->at < reader->end && IsBlank(reader->text[reader->at])) reader->at++;
    if (reader->at >= reader->end) return false;
    size_t length = 0;
    bool quoted = false;
    for (; reader->at < reader->end; reader->at++) {
        wchar_t c = reader->text[reader->at];
        if (c == L'"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && IsBlank(c)) break;
        if (length + 1 >= (size_t)kArgumentChars) {
            *tooLong = true;
            return false;
        }
        argument[length++] = c;
    }
    argument[length] = 0;
    return true;
}

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? (wchar_t)(c - L'A' + L'a') : c; }

bool SameWord(const wchar_t* a, const wchar_t* b) {
    for (; *a && *b; a++, b++) {
        if (Lower(*a) != Lower(*b)) return false;
    }
    return *a == *b;
}

void Say(wchar_t* why, size_t whyChars, const wchar_t* text) {
    if (!whyChars) return;
    wcsncpy(why, text, whyChars - 1);
    why[whyChars - 1] = 0;
}

// A hyphen, a maqaf or a dash between the two numbers.
bool IsRangeMark(wchar_t c) { return c == L'-' || c == 0x05BE || c == 0x2013 || c == 0x2014; }

bool ReadPair(const wchar_t* text, size_t count, int32_t* pair) {
    int number = 0;
    if (ReadSectionNumeral(text, count, &number) != kNumeralInBook) return false;
    *pair = number;
    return true;
}

// FROM-TO, or one number for one pair.
bool ReadRange(const wchar_t* text, PrintChoice* choice) {
    size_t length = wcslen(text);
    size_t mark = 0;
    while (mark < length && !IsRangeMark(text[mark])) mark++;
    if (mark == length) {
        if (!ReadPair(text, length, &choice->firstPair)) return false;
        choice->lastPair = choice->firstPair;
        return true;
    }
    return mark > 0 && ReadPair(text, mark, &choice->firstPair) &&
           ReadPair(text + mark + 1, length - mark - 1, &choice->lastPair) && choice->firstPair <= choice->lastPair;
}

bool ReadPlacement(const wchar_t* word, int32_t* placement) {
    if (SameWord(word, L"below")) *placement = kCommentaryBelow;
    else if (SameWord(word, L"beside")) *placement = kCommentaryBeside;
    else if (SameWord(word, L"none")) *placement = kCommentaryNone;
    else return false;
    return true;
}

void SayRangeIsBad(wchar_t* why, size_t whyChars, const wchar_t* range) {
    if (!whyChars) return;
    wchar_t text[2 * kArgumentChars];
    swprintf(text, sizeof text / sizeof text[0],
             L"/print: \"%ls\" is not a range of sections in the book; give FROM-TO, each 1 to %d", range,
             kBookPairs);
    Say(why, whyChars, text);
}

}  // namespace

int ReadPrintRequest(const wchar_t* commandLine, size_t maxUnits, PrintRequest* request, wchar_t* why,
                     size_t whyChars) {
    memset(request, 0, sizeof *request);
    request->choice.commentary = kCommentaryBelow;
    if (whyChars) why[0] = 0;
    if (!commandLine) return kNotPrintRequest;
    ArgumentReader reader = {commandLine, 0, 0};
    while (reader.end < maxUnits && commandLine[reader.end]) reader.end++;

    wchar_t argument[kArgumentChars];
    bool tooLong = false;
    if (!NextArgument(&reader, argument, &tooLong) || !SameWord(argument, L"/print")) return kNotPrintRequest;
    if (!NextArgument(&reader, argument, &tooLong)) {
        Say(why, whyChars, tooLong ? L"/print: an argument is too long"
                                   : L"/print: say which sections, FROM-TO");
        return kPrintRequestBad;
    }
    if (!ReadRange(argument, &request->choice)) {
        SayRangeIsBad(why, whyChars, argument);
        return kPrintRequestBad;
    }
    bool missingValue = false;
    while (NextArgument(&reader, argument, &tooLong)) {
        wchar_t value[kArgumentChars];
        bool known = SameWord(argument, L"/commentary") || SameWord(argument, L"/printer") ||
                     SameWord(argument, L"/output");
        if (!known) {
            Say(why, whyChars, L"/print: unknown switch; use /commentary, /printer or /output");
            return kPrintRequestBad;
        }
        if (!NextArgument(&reader, value, &tooLong)) {
            missingValue = !tooLong;
            break;
        }
        if (SameWord(argument, L"/commentary")) {
            if (!ReadPlacement(value, &request->choice.commentary)) {
                Say(why, whyChars, L"/print: /commentary takes below, beside or none");
                return kPrintRequestBad;
            }
            request->commentaryGiven = true;
        } else {
            wcscpy(SameWord(argument, L"/printer") ? request->printer : request->output, value);
        }
    }
    if (tooLong) {
        Say(why, whyChars, L"/print: an argument is too long");
        return kPrintRequestBad;
    }
    if (missingValue) {
        Say(why, whyChars, L"/print: a switch without its value");
        return kPrintRequestBad;
    }
    return kPrintRequestRead;
}
