#include "navigation/section_numeral.h"

#include "content/book_numbers.h"

namespace {

const wchar_t kAlef = 0x05D0;
const wchar_t kTav = 0x05EA;
const wchar_t kTet = 0x05D8;
const wchar_t kVav = 0x05D5;
const wchar_t kZayin = 0x05D6;
const int kMaxNumeralLetters = 16;

// U+05D0 to U+05EA in order, final forms included.
const int kLetterValues[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 20, 20, 30, 40,
                             40, 50, 50, 60, 70, 80, 80, 90, 90, 100, 200, 300, 400};

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == 0x00A0; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsHebrewLetter(wchar_t c) { return c >= kAlef && c <= kTav; }

enum NumeralMark { kNoMark, kGeresh, kGershayim };

// Geresh and gershayim, and the quotes a keyboard types in their place.
NumeralMark MarkOf(wchar_t c) {
    switch (c) {
    case L'\'':
    case 0x05F3:  // geresh
    case 0x2018:
    case 0x2019:
        return kGeresh;
    case L'"':
    case 0x05F4:  // gershayim
    case 0x201C:
    case 0x201D:
        return kGershayim;
    default:
        return kNoMark;
    }
}

// Final kaf, mem, nun, pe and tsadi.
bool IsFinalForm(wchar_t c) { return c == 0x05DA || c == 0x05DD || c == 0x05DF || c == 0x05E3 || c == 0x05E5; }

int ValueOf(wchar_t letter) { return kLetterValues[letter - kAlef]; }

int ReadDigits(const wchar_t* text, size_t count) {
    int value = 0;
    for (size_t i = 0; i < count; i++) {
        value = value * 10 + (text[i] - L'0');
        if (value > kNumeralCap) return kNumeralCap;
    }
    return value;
}

int Classify(int value, int* number) {
    *number = value;
    return value >= 1 && value <= kBookPairs ? kNumeralInBook : kNumeralOutsideBook;
}

}  // namespace

int HebrewNumeralValue(const wchar_t* letters, size_t count) {
    // A final form stands for its letter only where a word ends.
    for (size_t i = 0; i + 1 < count; i++)
        if (IsFinalForm(letters[i])) return 0;
    size_t at = 0;
    int value = 0;
    while (at < count && letters[at] == kTav) value += ValueOf(letters[at++]);
    if (at < count && ValueOf(letters[at]) >= 100 && letters[at] != kTav) value += ValueOf(letters[at++]);
    // 15 and 16 are written 9 + 6 and 9 + 7, keeping the Name's letters apart.
    if (count - at == 2 && letters[at] == kTet && (letters[at + 1] == kVav || letters[at + 1] == kZayin))
        return value + 9 + ValueOf(letters[at + 1]);
    int tens = 0, units = 0;
    if (at < count && ValueOf(letters[at]) >= 10 && ValueOf(letters[at]) < 100) tens = ValueOf(letters[at++]);
    if (at < count && ValueOf(letters[at]) < 10) units = ValueOf(letters[at++]);
    if (at != count || (tens == 10 && (units == 5 || units == 6))) return 0;
    return value + tens + units;
}

namespace {

// The letters of a Hebrew numeral without its mark, which must stand where
// the book puts one: a geresh after a single letter, a gershayim before the
// last of several. Returns the letters' count, 0 when the text is no such
// numeral.
size_t NumeralLetters(const wchar_t* text, size_t count, wchar_t* letters) {
    size_t letterCount = 0;
    NumeralMark mark = kNoMark;
    size_t lettersBeforeMark = 0;
    for (size_t i = 0; i < count; i++) {
        NumeralMark here = MarkOf(text[i]);
        if (here != kNoMark) {
            if (mark != kNoMark) return 0;  // one mark at most
            mark = here;
            lettersBeforeMark = letterCount;
            continue;
        }
        if (!IsHebrewLetter(text[i]) || letterCount == kMaxNumeralLetters) return 0;
        letters[letterCount++] = text[i];
    }
    if (mark == kGeresh && !(letterCount == 1 && lettersBeforeMark == 1)) return 0;
    if (mark == kGershayim && !(letterCount >= 2 && lettersBeforeMark == letterCount - 1)) return 0;
    return letterCount;
}

}  // namespace

int ReadSectionNumeral(const wchar_t* text, size_t maxUnits, int* number) {
    *number = 0;
    size_t end = 0;
    while (end < maxUnits && text[end]) end++;
    size_t start = 0;
    while (start < end && IsSpace(text[start])) start++;
    while (end > start && IsSpace(text[end - 1])) end--;
    if (start == end) return kNumeralUnreadable;

    bool allDigits = true;
    for (size_t i = start; i < end; i++) allDigits = allDigits && IsDigit(text[i]);
    if (allDigits) return Classify(ReadDigits(text + start, end - start), number);

    wchar_t letters[kMaxNumeralLetters];
    size_t count = NumeralLetters(text + start, end - start, letters);
    int value = count ? HebrewNumeralValue(letters, count) : 0;
    if (value == 0) return kNumeralUnreadable;
    return Classify(value > kNumeralCap ? kNumeralCap : value, number);
}
