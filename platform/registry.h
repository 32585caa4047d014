// The registry readers and writers every part of the program uses, under the
// current user's hive. Every routine closes the key it opened on every path;
// a buffer they return belongs to the caller (free it with PlatformFree).
#pragma once

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

// Where the settings live: the program's own key and the maker's key in the
// reader (app/product_seams.cpp); the test programs choose keys of their own.
const wchar_t* ProgramKeyPath();
const wchar_t* MakerKeyPath();

// Reads a number from `keyPath`: a REG_DWORD as stored, any other type parsed
// as a decimal string. Returns `defaultValue` when the key or value is missing
// or the read fails.
int ReadRegInt(const wchar_t* keyPath, const wchar_t* valueName, int defaultValue);

// Parses a decimal string the way stored numbers always have been read: each
// unit before the first 0 adds (unit - '0') after multiplying by ten, with no
// sign and no check for digits, so '-' counts as -3. Wraps on overflow.
int ParseDecimalUnits(const wchar_t* units, size_t maxUnits);

// The rest read and write values of the program key.
int ReadSettingInt(const wchar_t* valueName, int defaultValue);
int WriteSettingInt(const wchar_t* valueName, uint32_t value);  // 1 on success, 0 on failure

// A new NUL-terminated wide string from a string value, or null.
wchar_t* ReadSettingString(const wchar_t* valueName);
int WriteSettingString(const wchar_t* valueName, const wchar_t* text);

// A new buffer with the bytes of a value followed by one guard 0 byte (so a
// byte string stored without its terminator still ends), or null.
// `byteCount` receives the stored size when given.
uint8_t* ReadSettingBytes(const wchar_t* valueName, uint32_t* byteCount);
// Writes `bytes` up to and including its terminating 0 as REG_BINARY.
int WriteSettingBytes(const wchar_t* valueName, const uint8_t* bytes);

// A new buffer with a value's bytes and their number in *byteCount, or
// `defaultPointer` with *byteCount untouched when there is no such value.
void* ReadSettingBlob(const wchar_t* valueName, void* defaultPointer, uint32_t* byteCount);
int WriteSettingBlob(const wchar_t* valueName, const void* bytes, uint32_t byteCount);

// Removes a value of the program key; 1 when it is gone (or never was).
int DeleteSettingValue(const wchar_t* valueName);

// ---- The open book's own values ---------------------------------------------
// Where a book keeps its reading place, bookmarks, Back and Forward and last
// search: the program key itself for the built-in edition, and its subkey
// "Books\ID" for a book file, ID being the book's own identifier.

// Null (or no call) is the built-in edition. A book id is 1 to 64 of
// A-Z a-z 0-9 . _ -, not only dots; false, changing nothing, for any other.
bool SetPlaceBook(const wchar_t* bookId);
const wchar_t* PlaceKeyPath();

int ReadPlaceInt(const wchar_t* valueName, int defaultValue);
int WritePlaceInt(const wchar_t* valueName, uint32_t value);
uint8_t* ReadPlaceBytes(const wchar_t* valueName, uint32_t* byteCount);
int WritePlaceBytes(const wchar_t* valueName, const uint8_t* bytes);
void* ReadPlaceBlob(const wchar_t* valueName, void* defaultPointer, uint32_t* byteCount);
int WritePlaceBlob(const wchar_t* valueName, const void* bytes, uint32_t byteCount);
