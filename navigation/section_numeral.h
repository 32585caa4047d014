// What the Go To dialog takes: a section's number in digits, or in Hebrew
// numerals as the book writes them (יב, קמ״ח, ט״ו, ה'), with or without the
// mark: a geresh after a single letter, a gershayim before the last of
// several, never more than one. Window-free, so it is tested natively.
#pragma once

#include <stddef.h>

enum SectionNumeralResult {
    kNumeralInBook = 0,      // *number is 1 to 178
    kNumeralOutsideBook = 1, // a number, but no section has it (*number, at most kNumeralCap)
    kNumeralUnreadable = 2,  // neither digits nor a Hebrew numeral, or empty
};

// Numbers above this are shown as this; none is near the book.
const int kNumeralCap = 99999;

// Reads at most `maxUnits` units of `text` (stopping at a 0). Spaces around
// the number are ignored.
int ReadSectionNumeral(const wchar_t* text, size_t maxUnits, int* number);

// The value of Hebrew numeral letters, in reading order, without marks: the
// hundreds (ת repeated, then one of ק ר ש), one tens letter, one units
// letter, or טו and טז for 15 and 16 (never יה and יו). A final form counts
// as its letter, and only as the last. 0 when the letters are not such a
// numeral.
int HebrewNumeralValue(const wchar_t* letters, size_t count);
