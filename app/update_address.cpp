#include "app/update_address.h"

const wchar_t kProductId[] = L"Quenmark/Lorvan";
const wchar_t kVersionText[] = L"1.84a";

// The download offered must match the program that asks.
#if defined(__aarch64__) || defined(_M_ARM64)
const wchar_t kBuildProcessor[] = L"arm64";
#elif defined(__arm__) || defined(_M_ARM)
const wchar_t kBuildProcessor[] = L"arm";
#elif defined(__x86_64__) || defined(_M_X64)
const wchar_t kBuildProcessor[] = L"x64";
#else
const wchar_t kBuildProcessor[] = L"x86";
#endif

namespace {

// Appends to a buffer of fixed size; once something did not fit, the writer
// stays failed.
struct AddressWriter {
    wchar_t* buffer;
    int capacityUnits;  // without the terminating 0
    int usedUnits;
    bool ok;
};

void Put(AddressWriter* writer, wchar_t unit) {
    if (!writer->ok) return;
    if (writer->usedUnits >= writer->capacityUnits) {
        writer->ok = false;
        return;
    }
    writer->buffer[writer->usedUnits++] = unit;
}

void PutText(AddressWriter* writer, const wchar_t* text) {
    for (; *text; text++) Put(writer, *text);
}

bool KeptAsIs(wchar_t unit) {
    return (unit >= L'0' && unit <= L'9') || (unit >= L'A' && unit <= L'Z') || (unit >= L'a' && unit <= L'z') ||
           unit == L'.' || unit == L'/';
}

// "%" and the unit's value in upper-case hex, at least two digits.
void PutEscaped(AddressWriter* writer, unsigned long value) {
    const wchar_t digits[] = L"0123456789ABCDEF";
    wchar_t reversed[8];
    int count = 0;
    do {
        reversed[count++] = digits[value & 0xF];
        value >>= 4;
    } while (value && count < 8);
    if (count < 2) reversed[count++] = L'0';
    Put(writer, L'%');
    while (count > 0) Put(writer, reversed[--count]);
}

void PutEncoded(AddressWriter* writer, const wchar_t* text) {
    for (; *text; text++) {
        if (*text == L' ') Put(writer, L'+');
        else if (KeptAsIs(*text)) Put(writer, *text);
        else PutEscaped(writer, (unsigned long)*text);
    }
}

}  // namespace

int BuildUpdateAddress(const wchar_t* siteAddress, const wchar_t* processor, const wchar_t* productId,
                       const wchar_t* version, wchar_t* buffer, int bufferUnits) {
    if (!buffer || bufferUnits <= 0) return 0;
    AddressWriter writer = {buffer, bufferUnits - 1, 0, true};
    PutText(&writer, siteAddress);
    PutText(&writer, L"/cgi-bin/upgrade?p=");
    PutText(&writer, processor);
    Put(&writer, L'/');
    PutEncoded(&writer, productId);
    PutText(&writer, L"&v=");
    PutText(&writer, version);
    buffer[writer.ok ? writer.usedUnits : 0] = 0;
    return writer.ok ? 1 : 0;
}
