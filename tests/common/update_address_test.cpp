// The address the update check opens.
#include <gtest/gtest.h>

#include <string>

#include "app/update_address.h"

namespace {

std::wstring Address(const wchar_t* site, const wchar_t* processor, const wchar_t* product, int units = 200) {
    wchar_t buffer[400];
    int ok = BuildUpdateAddress(site, processor, product, kVersionText, buffer, units);
    return ok ? std::wstring(buffer) : L"<failed:" + std::wstring(buffer) + L">";
}

}  // namespace

TEST(UpdateAddress, PiecesFollowEachOtherWithNothingBetween) {
    EXPECT_EQ(Address(L"https://www.example.com", L"arm", kProductId),
              L"https://www.example.com/cgi-bin/upgrade?p=arm/Quenmark/Lorvan&v=1.84a");
    EXPECT_EQ(Address(L"http://example.org", kBuildProcessor, L"Q/L"),
              L"http://example.org/cgi-bin/upgrade?p=" + std::wstring(kBuildProcessor) + L"/Q/L&v=1.84a");
}

TEST(UpdateAddress, ProductIdIsEncodedForTheQuery) {
    // Space, hyphen, digits, dot; then units needing one, two and three hex digits.
    EXPECT_EQ(Address(L"s", L"x64", L"Quen mark-2.0/Lor_van"),
              L"s/cgi-bin/upgrade?p=x64/Quen+mark%2D2.0/Lor%5Fvan&v=1.84a");
    EXPECT_EQ(Address(L"s", L"x64", L"\x07&\x5D0"), L"s/cgi-bin/upgrade?p=x64/%07%26%5D0&v=1.84a");
}

TEST(UpdateAddress, AnAddressThatDoesNotFitIsNotCut) {
    // "s/cgi-bin/upgrade?p=x64/Q&v=1.84a" is 33 units and its 0.
    EXPECT_EQ(Address(L"s", L"x64", L"Q", 34), L"s/cgi-bin/upgrade?p=x64/Q&v=1.84a");
    EXPECT_EQ(Address(L"s", L"x64", L"Q", 33), L"<failed:>");
    EXPECT_EQ(Address(L"s", L"x64", L"-", 35), L"<failed:>");  // "%2D" takes three
    std::wstring longSite(190, L'w');
    EXPECT_EQ(Address(longSite.c_str(), L"x64", kProductId), L"<failed:>");
}
