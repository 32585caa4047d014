// The PalmDoc expander and compressor: round trips, the token rules, and a
// comparison of the fast path against a plain reference decoder.
#include <gtest/gtest.h>

#include <vector>

#include "content/palmdoc.h"

namespace {

uint32_t NextRandom(uint32_t* state) {
    *state ^= *state << 13;
    *state ^= *state >> 17;
    *state ^= *state << 5;
    return *state;
}

// The expansion written the simplest way, one checked byte at a time.
size_t ReferenceExpand(const std::vector<uint8_t>& in, std::vector<uint8_t>* out, size_t capacity) {
    out->assign(capacity, 0);
    size_t i = 0, o = 0;
    while (o < capacity && i < in.size()) {
        uint8_t b = in[i++];
        if (b >= 1 && b <= 8) {
            for (int k = 0; k < b && o < capacity; k++) {
                if (i == in.size()) return kPalmDocInvalid;
                (*out)[o++] = in[i++];
            }
        } else if (b < 0x80) {
            (*out)[o++] = b;
        } else if (b < 0xC0) {
            if (i == in.size()) return kPalmDocInvalid;
            unsigned word = (unsigned)b << 8 | in[i++];
            size_t distance = (word >> 3) & 0x7FF, length = (word & 7) + 3;
            if (distance == 0 || distance > o) return kPalmDocInvalid;
            for (size_t k = 0; k < length && o < capacity; k++, o++) (*out)[o] = (*out)[o - distance];
        } else {
            (*out)[o++] = ' ';
            if (o < capacity) (*out)[o++] = b ^ 0x80;
        }
    }
    return o;
}

std::vector<uint8_t> Expand(const std::vector<uint8_t>& stream, size_t capacity, size_t* produced) {
    std::vector<uint8_t> out(capacity);
    *produced = ExpandPalmDoc(stream.data(), stream.size(), out.data(), capacity);
    return out;
}

void ExpectRoundTrip(const std::vector<uint8_t>& input) {
    std::vector<uint8_t> stream(PalmDocCompressBound(input.size()));
    size_t streamLength = PalmDocCompress(input.data(), input.size(), stream.data());
    ASSERT_LE(streamLength, stream.size());
    stream.resize(streamLength);
    size_t produced = 0;
    std::vector<uint8_t> output = Expand(stream, input.size(), &produced);
    ASSERT_EQ(produced, input.size());
    EXPECT_EQ(output, input);
}

}  // namespace

TEST(PalmDoc, RoundTripsTextLikeAndBinaryInput) {
    uint32_t state = 12345;
    for (size_t length : {1u, 2u, 3u, 9u, 10u, 11u, 17u, 100u, 2047u, 2048u, 4170u, 30000u}) {
        std::vector<uint8_t> text(length), binary(length), runs(length);
        for (size_t i = 0; i < length; i++) {
            uint32_t r = NextRandom(&state);
            text[i] = (r % 6 == 0) ? ' ' : (uint8_t)(0x61 + r % 27);
            binary[i] = (uint8_t)r;
            runs[i] = (uint8_t)((i / 13) % 3 ? 0x41 : 0x85);
            if (i % 2 && r % 3 == 0) runs[i] = 0x85;  // escaped bytes standing alone
        }
        ExpectRoundTrip(text);
        ExpectRoundTrip(binary);
        ExpectRoundTrip(runs);
    }
    ExpectRoundTrip(std::vector<uint8_t>(65535, ' '));
    ExpectRoundTrip(std::vector<uint8_t>(65535, 0x80));
}

TEST(PalmDoc, CompressesRepetitiveTextWell) {
    std::vector<uint8_t> text;
    for (int i = 0; i < 200; i++)
        for (char c : std::string("abg dhw zxj ")) text.push_back((uint8_t)c);
    std::vector<uint8_t> stream(PalmDocCompressBound(text.size()));
    EXPECT_LT(PalmDocCompress(text.data(), text.size(), stream.data()), text.size() / 4);
}

TEST(PalmDoc, TokenRules) {
    size_t produced = 0;
    // Distance 1, length 10 repeats the previous byte.
    std::vector<uint8_t> out = Expand({'x', 0x80, 0x0F}, 11, &produced);
    EXPECT_EQ(produced, 11u);
    EXPECT_EQ(std::string(out.begin(), out.end()), "xxxxxxxxxxx");
    // 0xC1 is a space and "A"; with one byte of room only the space is written.
    out = Expand({0xC1}, 2, &produced);
    EXPECT_EQ(std::string(out.begin(), out.end()), " A");
    out = Expand({'q', 0xC1}, 2, &produced);
    EXPECT_EQ(produced, 2u);
    EXPECT_EQ(out[1], ' ');
    // A literal run copies bytes that would otherwise be tokens.
    out = Expand({0x03, 0x01, 0x85, 0xC1, 0x00}, 4, &produced);
    EXPECT_EQ(produced, 4u);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x01, 0x85, 0xC1, 0x00}));
    // Input beyond the declared length is ignored.
    out = Expand({'a', 'b', 'c', 'd'}, 2, &produced);
    EXPECT_EQ(produced, 2u);
    // A short stream produces fewer bytes than asked.
    Expand({'a', 'b'}, 5, &produced);
    EXPECT_EQ(produced, 2u);
}

TEST(PalmDoc, RejectsReadsOutsideEitherBuffer) {
    size_t produced = 0;
    Expand({0x80, 0x08}, 10, &produced);  // distance 1 with nothing written yet
    EXPECT_EQ(produced, kPalmDocInvalid);
    Expand({'a', 'b', 0x80, 0x18}, 10, &produced);  // distance 3 after two bytes
    EXPECT_EQ(produced, kPalmDocInvalid);
    Expand({'a', 0x80, 0x00}, 10, &produced);  // distance 0 would copy an unwritten byte
    EXPECT_EQ(produced, kPalmDocInvalid);
    Expand({'a', 0x05, 'b', 'c'}, 10, &produced);  // literal run past the stream end
    EXPECT_EQ(produced, kPalmDocInvalid);
    Expand({'a', 0x80}, 10, &produced);  // back-reference missing its second byte
    EXPECT_EQ(produced, kPalmDocInvalid);
    // A run cut off by the output end needs only the bytes it writes.
    Expand({0x05, 'b', 'c'}, 2, &produced);
    EXPECT_EQ(produced, 2u);
}

TEST(PalmDoc, FastPathAgreesWithReferenceOnRandomStreams) {
    uint32_t state = 99;
    for (int round = 0; round < 3000; round++) {
        size_t streamLength = NextRandom(&state) % 200;
        std::vector<uint8_t> stream(streamLength);
        for (uint8_t& byte : stream) {
            uint32_t r = NextRandom(&state);
            // Bias towards valid short back-references so long streams survive.
            byte = (r % 4 == 0) ? (uint8_t)(0x80 | (r >> 8 & 0x01)) : (uint8_t)(r >> 16);
        }
        size_t capacity = NextRandom(&state) % 400;
        std::vector<uint8_t> expected;
        size_t expectedLength = ReferenceExpand(stream, &expected, capacity);
        size_t produced = 0;
        std::vector<uint8_t> actual = Expand(stream, capacity, &produced);
        ASSERT_EQ(produced, expectedLength) << "round " << round;
        if (produced != kPalmDocInvalid) {
            ASSERT_TRUE(std::equal(actual.begin(), actual.begin() + produced, expected.begin()));
        }
    }
}
