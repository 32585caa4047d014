// Dialog templates read before they are run: the fields the dialog layer
// needs, and every template cut short refused.
#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "platform/dialog_template.h"

namespace {

void PutWord(std::vector<uint8_t>* bytes, uint16_t value) {
    bytes->push_back((uint8_t)value);
    bytes->push_back((uint8_t)(value >> 8));
}

void PutDword(std::vector<uint8_t>* bytes, uint32_t value) {
    PutWord(bytes, (uint16_t)value);
    PutWord(bytes, (uint16_t)(value >> 16));
}

void PutString(std::vector<uint8_t>* bytes, const char16_t* text) {
    for (; *text; text++) PutWord(bytes, (uint16_t)*text);
    PutWord(bytes, 0);
}

void Align(std::vector<uint8_t>* bytes) {
    while (bytes->size() % 4) bytes->push_back(0);
}

// An extended template with a font and one static item, as windres writes it.
std::vector<uint8_t> ExtendedTemplate() {
    std::vector<uint8_t> bytes;
    PutWord(&bytes, 1);
    PutWord(&bytes, 0xFFFF);
    PutDword(&bytes, 0);            // help id
    PutDword(&bytes, 0x80000000u);  // extended style
    PutDword(&bytes, 0x90C80840u);  // style, with DS_SETFONT
    PutWord(&bytes, 1);             // one item
    for (int i = 0; i < 4; i++) PutWord(&bytes, 100);
    PutWord(&bytes, 0);  // no menu
    PutWord(&bytes, 0);  // the dialog class
    PutString(&bytes, u"Lorvan");
    PutWord(&bytes, 8);
    PutWord(&bytes, 400);
    bytes.push_back(0);
    bytes.push_back(1);
    PutString(&bytes, u"System");
    Align(&bytes);
    PutDword(&bytes, 0);
    PutDword(&bytes, 0);
    PutDword(&bytes, 0x50000000u);
    for (int i = 0; i < 4; i++) PutWord(&bytes, 10);
    PutDword(&bytes, 100);
    PutWord(&bytes, 0xFFFF);
    PutWord(&bytes, 0x0082);  // static, by ordinal
    PutString(&bytes, u"text");
    PutWord(&bytes, 2);  // two bytes of creation data
    PutWord(&bytes, 0xABCD);
    return bytes;
}

TEST(DialogTemplate, ReadsBothLayoutsAndRefusesEveryShortenedCopy) {
    std::vector<uint8_t> bytes = ExtendedTemplate();
    DialogTemplateInfo info;
    ASSERT_TRUE(ReadDialogTemplate(bytes.data(), bytes.size(), &info));
    EXPECT_TRUE(info.extended);
    EXPECT_EQ(info.exStyleOffset, 8u);
    EXPECT_EQ(info.exStyle, 0x80000000u);
    EXPECT_EQ(info.style, 0x90C80840u);
    EXPECT_EQ(info.itemCount, 1);
    for (size_t cut = 0; cut < bytes.size(); cut++)
        EXPECT_FALSE(ReadDialogTemplate(bytes.data(), cut, &info)) << "cut at " << cut;

    // A plain template: style first, the extended style after it, no items.
    std::vector<uint8_t> plain;
    PutDword(&plain, 0x90C80000u);
    PutDword(&plain, 0x80000000u);
    PutWord(&plain, 0);
    for (int i = 0; i < 4; i++) PutWord(&plain, 50);
    PutWord(&plain, 0xFFFF);  // a menu by ordinal
    PutWord(&plain, 102);
    PutWord(&plain, 0);
    PutString(&plain, u"T");
    ASSERT_TRUE(ReadDialogTemplate(plain.data(), plain.size(), &info));
    EXPECT_FALSE(info.extended);
    EXPECT_EQ(info.exStyleOffset, 4u);
    EXPECT_EQ(info.exStyle, 0x80000000u);
    EXPECT_FALSE(ReadDialogTemplate(plain.data(), plain.size() - 1, &info));
    EXPECT_FALSE(ReadDialogTemplate(nullptr, 40, &info));
}

TEST(DialogTemplate, ItemCountLargerThanTheItemsIsRefused) {
    std::vector<uint8_t> bytes = ExtendedTemplate();
    bytes[16] = 3;  // three items claimed, one present
    DialogTemplateInfo info;
    EXPECT_FALSE(ReadDialogTemplate(bytes.data(), bytes.size(), &info));
}

}  // namespace
