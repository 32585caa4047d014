// The address of the update check: the maker's site with the processor, the
// product id and the version in its query, for the web page to decide on.
// No windows.h here, so it builds and is tested natively too.
#pragma once

const int kUpdateAddressUnits = 200;
extern const wchar_t kProductId[];      // "Quenmark/Lorvan"
extern const wchar_t kVersionText[];    // "1.84a", as the About box shows it
extern const wchar_t kBuildProcessor[]; // "x64", "x86", "arm64" or "arm": what this program was built for

// Writes `siteAddress`, "/cgi-bin/upgrade?p=", `processor`, "/", the encoded
// `productId`, "&v=" and `version` into `buffer` (units, with the 0). The
// product id keeps digits, Latin letters, "." and "/", turns a space into "+"
// and any other unit into "%" and at least two upper-case hex digits.
// Returns 1, or 0 with an empty buffer when the address does not fit.
int BuildUpdateAddress(const wchar_t* siteAddress, const wchar_t* processor, const wchar_t* productId,
                       const wchar_t* version, wchar_t* buffer, int bufferUnits);
