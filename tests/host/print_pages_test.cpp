// Printed pages over the shipped edition, laid out by a measurer in which
// every character is the same width: every line of the chosen sections lands
// on the pages once, in order, inside the body, with headings kept with what
// follows them and the columns of beside apart.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "content/book_numbers.h"
#include "content/section_records.h"
#include "print/print_pages.h"
#include "print/print_request.h"
#include "tests/host/edition_book.h"

namespace {

const int kCharacterPx = 9;
const int kMainLinePx = 40;
const int kCommentaryLinePx = 30;  // the commentary's smaller type

// Lines of a paragraph broken at spaces into lines of at most `perLine`
// characters (a longer word is cut), as the panes break them.
std::vector<int> LineLengths(const uint8_t* text, int length, int perLine) {
    std::vector<int> lengths;
    int at = 0;
    while (at < length) {
        while (at < length && text[at] == ' ') at++;
        if (at == length) break;
        int take = length - at < perLine ? length - at : perLine;
        if (at + take < length && text[at + take] != ' ') {
            int space = take - 1;
            while (space > 0 && text[at + space] != ' ') space--;
            if (space > 0) take = space;
        }
        lengths.push_back(take);
        at += take;
    }
    return lengths;
}

struct FixedWidthMeasurer {
    std::vector<std::vector<MeasuredLine>> blocks;
    std::vector<std::vector<int>> characters;  // each line's characters, for the width check
    std::vector<int> sections;
};

const std::vector<uint8_t>& SectionText(int section) {
    static std::map<int, std::vector<uint8_t>> texts;
    auto found = texts.find(section);
    if (found != texts.end()) return found->second;
    int error = 0;
    return texts[section] = ExpandResource(EditionResources().at((uint16_t)(1000 + section)), &error);
}

int LayOutFixed(void* context, int section, int32_t, int32_t widthPx, const MeasuredLine** lines) {
    FixedWidthMeasurer* measurer = (FixedWidthMeasurer*)context;
    const std::vector<uint8_t>& text = SectionText(section);
    if (text.empty()) return -1;
    int heightPx = IsMainTextSection(section) ? kMainLinePx : kCommentaryLinePx;
    std::vector<MeasuredLine> laid;
    std::vector<int> widths;
    RecordWalker walker;
    StartRecordWalk(&walker, text.data(), (uint32_t)text.size());
    ParagraphRecord record;
    int index = 0;
    while (NextParagraphRecord(&walker, &record)) {
        bool heading = index++ < 2 && (record.flags == 0xDC || record.flags == 0xD1);
        std::vector<int> lengths = IsSpacerRecord(record.flags) ? std::vector<int>{record.indent ? 1 : 0}
                                                                : LineLengths(text.data() + record.textOffset,
                                                                              (int)record.textLength,
                                                                              widthPx / kCharacterPx);
        if (IsSpacerRecord(record.flags) && !record.indent) continue;
        for (size_t i = 0; i < lengths.size(); i++) {
            MeasuredLine line = {heightPx, 0, (uint8_t)heading};
            line.blankRowAfter = i + 1 == lengths.size() && (record.flags & kFlagParagraphEnd);
            laid.push_back(line);
            widths.push_back(lengths[i] * kCharacterPx);
        }
    }
    measurer->blocks.push_back(laid);
    measurer->characters.push_back(widths);
    measurer->sections.push_back(section);
    *lines = measurer->blocks.back().data();
    return (int)laid.size();
}

struct Laid {
    FixedWidthMeasurer measurer;
    PrintPages pages;
    int result;
};

const PrintRect kBody = {300, 500, 2300, 3000};  // 2000 x 2500
const PageSpacing kSpacing = {120, 60};

void LayOut(Laid* laid, PrintChoice choice, PrintRect body = kBody) {
    PrintMeasurer measurer = {&laid->measurer, LayOutFixed};
    laid->result = Paginate(&measurer, &choice, body, kSpacing, &laid->pages);
}

// Where each line of each block went: its page, its top, once each.
struct Seen {
    int page;
    int y;
};

std::vector<std::vector<Seen>> PlacesByBlock(const Laid& laid) {
    std::vector<std::vector<Seen>> places(laid.pages.blockCount);
    for (int p = 0; p < laid.pages.pageCount; p++) {
        const PrintPage& page = laid.pages.pages[p];
        for (int i = 0; i < page.lineCount; i++) {
            const PlacedLine& line = laid.pages.lines[page.firstLine + i];
            places[line.block].resize(laid.pages.blocks[line.block].lineCount, Seen{-1, -1});
            EXPECT_EQ(-1, places[line.block][line.line].page) << "line placed twice";
            places[line.block][line.line] = Seen{p, line.y};
        }
    }
    return places;
}

void ExpectEveryLineOnceInOrder(const Laid& laid, const PrintRect& body) {
    std::vector<std::vector<Seen>> places = PlacesByBlock(laid);
    for (int b = 0; b < laid.pages.blockCount; b++) {
        const std::vector<MeasuredLine>& lines = laid.measurer.blocks[b];
        ASSERT_EQ((int)lines.size(), laid.pages.blocks[b].lineCount);
        for (size_t i = 0; i < lines.size(); i++) {
            const Seen& seen = places[b][i];
            ASSERT_NE(-1, seen.page) << "block " << b << " line " << i << " is on no page";
            EXPECT_GE(seen.y, body.top);
            EXPECT_LE(seen.y + lines[i].heightPx, body.bottom);
            EXPECT_LE(laid.measurer.characters[b][i], laid.pages.blocks[b].columnWidth);
            if (i == 0) continue;
            const Seen& before = places[b][i - 1];
            bool follows = seen.page > before.page || (seen.page == before.page && seen.y > before.y);
            EXPECT_TRUE(follows) << "block " << b << " line " << i << " is not after the line before it";
        }
    }
}

TEST(PrintPages, EveryLineOfTheChosenSectionsOnceInOrderInsideTheBody) {
    const int placements[] = {kCommentaryBelow, kCommentaryBeside, kCommentaryNone};
    for (int placement : placements) {
        for (int newPage = 0; newPage < 2; newPage++) {
            SCOPED_TRACE(testing::Message() << "placement " << placement << " new page " << newPage);
            Laid laid;
            LayOut(&laid, PrintChoice{3, 9, placement, newPage != 0});
            ASSERT_EQ(kPaginated, laid.result);
            int sectionsPerPair = placement == kCommentaryNone ? 1 : 2;
            ASSERT_EQ(7 * sectionsPerPair, laid.pages.blockCount);
            // The measurer was asked for exactly the chosen sections, in order.
            for (int b = 0; b < laid.pages.blockCount; b++) {
                int pair = 3 + b / sectionsPerPair;
                EXPECT_EQ(SectionOfPair(pair) + b % sectionsPerPair, laid.measurer.sections[b]);
            }
            EXPECT_GT(laid.pages.pageCount, 3);
            ExpectEveryLineOnceInOrder(laid, kBody);
            FreePrintPages(&laid.pages);
        }
    }
}

// The last line of each column of each page, unless its block ends there.
TEST(PrintPages, AHeadingIsNeverTheLastLineOfAPage) {
    int headingsMoved = 0;
    // Bodies of many heights, so that the titles fall at every page's foot somewhere.
    for (int bodyPx = 400; bodyPx < 1400; bodyPx += 37) {
        Laid laid;
        PrintRect body = {0, 0, 1500, bodyPx};
        LayOut(&laid, PrintChoice{1, 12, kCommentaryBelow, false}, body);
        ASSERT_EQ(kPaginated, laid.result);
        ExpectEveryLineOnceInOrder(laid, body);
        for (int p = 0; p < laid.pages.pageCount; p++) {
            const PrintPage& page = laid.pages.pages[p];
            const PlacedLine* last = &laid.pages.lines[page.firstLine + page.lineCount - 1];
            const MeasuredLine& line = laid.measurer.blocks[last->block][last->line];
            bool endsBlock = last->line + 1 == laid.pages.blocks[last->block].lineCount;
            EXPECT_FALSE(line.heading && !endsBlock) << "page " << p << " of a body " << bodyPx << " high";
            // A heading that opens a page although the page before had room
            // for it was moved on with the line after it.
            const PlacedLine& first = laid.pages.lines[page.firstLine];
            const MeasuredLine& opening = laid.measurer.blocks[first.block][first.line];
            if (p > 0 && opening.heading) {
                const PrintPage& before = laid.pages.pages[p - 1];
                const PlacedLine& end = laid.pages.lines[before.firstLine + before.lineCount - 1];
                const MeasuredLine& endLine = laid.measurer.blocks[end.block][end.line];
                int usedPx = end.y + endLine.heightPx * (endLine.blankRowAfter ? 2 : 1) + kSpacing.blockGapPx;
                if (body.bottom - usedPx >= opening.heightPx) headingsMoved++;
            }
        }
        FreePrintPages(&laid.pages);
    }
    EXPECT_GT(headingsMoved, 0) << "no heading ever opened a page: the case was not reached";
}

TEST(PrintPages, BesideKeepsTheColumnsApartWithTheTextOnTheRightEachPairLevel) {
    Laid laid;
    LayOut(&laid, PrintChoice{20, 26, kCommentaryBeside, false});
    ASSERT_EQ(kPaginated, laid.result);
    std::vector<std::vector<Seen>> places = PlacesByBlock(laid);
    for (int b = 0; b + 1 < laid.pages.blockCount; b += 2) {
        const PrintBlock& text = laid.pages.blocks[b];
        const PrintBlock& commentary = laid.pages.blocks[b + 1];
        ASSERT_TRUE(IsMainTextSection(text.section));
        ASSERT_EQ(text.section + 1, commentary.section);
        // Apart, both inside the body, the text on the right.
        EXPECT_GE(commentary.columnLeft, kBody.left);
        EXPECT_LE(commentary.columnLeft + commentary.columnWidth + kSpacing.columnGapPx, text.columnLeft);
        EXPECT_LE(text.columnLeft + text.columnWidth, kBody.right);
        // Each pair starts both columns on one row, below all of the pair before.
        EXPECT_EQ(places[b][0].page, places[b + 1][0].page);
        EXPECT_EQ(places[b][0].y, places[b + 1][0].y);
        if (b >= 2) {
            for (int before = b - 2; before < b; before++) {
                const Seen& end = places[before].back();
                bool below = places[b][0].page > end.page || places[b][0].y > end.y;
                EXPECT_TRUE(below) << "pair of block " << b << " starts beside the pair before";
            }
        }
    }
    FreePrintPages(&laid.pages);
}

TEST(PrintPages, NewPagesAndHeadersFollowThePairs) {
    Laid laid;
    LayOut(&laid, PrintChoice{40, 44, kCommentaryBelow, true});
    ASSERT_EQ(kPaginated, laid.result);
    std::vector<std::vector<Seen>> places = PlacesByBlock(laid);
    int previousPage = -1;
    for (int b = 0; b < laid.pages.blockCount; b += 2) {
        const Seen& start = places[b][0];
        EXPECT_EQ(kBody.top, start.y);
        EXPECT_GT(start.page, previousPage);
        EXPECT_EQ(40 + b / 2, laid.pages.pages[start.page].pair);
        previousPage = places[b + 1].back().page;
    }
    // Every page is named after the pair of its first line.
    for (int p = 0; p < laid.pages.pageCount; p++) {
        const PrintPage& page = laid.pages.pages[p];
        ASSERT_GT(page.lineCount, 0);
        int section = laid.pages.blocks[laid.pages.lines[page.firstLine].block].section;
        EXPECT_EQ(PairOfSection(section), page.pair);
    }
    FreePrintPages(&laid.pages);

    // Run on, the next pair follows on the same page.
    LayOut(&laid, PrintChoice{40, 44, kCommentaryNone, false});
    std::vector<std::vector<Seen>> runOn = PlacesByBlock(laid);
    EXPECT_EQ(runOn[0].back().page, runOn[1][0].page);
    FreePrintPages(&laid.pages);
}

TEST(PrintPages, ChoicesOutsideTheBookOrWithoutRoomAreRefused) {
    const PrintChoice bad[] = {{0, 3, kCommentaryBelow, false},
                               {5, kBookPairs + 1, kCommentaryBelow, false},
                               {9, 8, kCommentaryBelow, false},
                               {1, 1, 7, false}};
    for (const PrintChoice& choice : bad) {
        Laid laid;
        LayOut(&laid, choice);
        EXPECT_EQ(kPaginateBadChoice, laid.result);
        EXPECT_EQ(0, laid.pages.pageCount);
        EXPECT_TRUE(laid.measurer.blocks.empty());
    }
    Laid narrow;
    LayOut(&narrow, PrintChoice{1, 1, kCommentaryBeside, false}, PrintRect{0, 0, 100, 1000});
    EXPECT_EQ(kPaginateNoRoom, narrow.result);
}

// Two printers on the same A4 sheet at 300 DPI: one prints from 75 px in,
// the other from the edge. The body must stand at the same place on the paper.
TEST(PrintMargins, TheSamePlaceOnThePaperWhateverThePrinterCannotReach) {
    PaperMetrics offset = {300, 300, 2479, 3508, 75, 60, 2329, 3358};
    PaperMetrics edge = {300, 300, 2479, 3508, 0, 0, 2479, 3508};
    PrintMargins margins = {2000, 1500, 2500, 3000};
    PrintRect a = MarginRect(&offset, &margins);
    PrintRect b = MarginRect(&edge, &margins);
    EXPECT_EQ(b.left, a.left + offset.offsetXPx);
    EXPECT_EQ(b.top, a.top + offset.offsetYPx);
    EXPECT_EQ(b.right, a.right + offset.offsetXPx);
    EXPECT_EQ(b.bottom, a.bottom + offset.offsetYPx);
    EXPECT_EQ(236, b.left);               // 20 mm at 300 DPI
    EXPECT_EQ(3508 - 354, b.bottom);      // 30 mm from the foot

    // A margin inside the part a printer cannot reach starts where it can.
    PrintMargins thin = {300, 300, 300, 300};  // 3 mm, about 35 px
    PrintRect clipped = MarginRect(&offset, &thin);
    EXPECT_EQ(0, clipped.left);
    EXPECT_EQ(offset.printableWidthPx, clipped.right);
    PrintMargins wide = {kMaxMarginHundredths, 0, kMaxMarginHundredths * 2, 0};
    PrintRect none = MarginRect(&edge, &wide);
    EXPECT_LE(none.right, none.left);

    PageFrame frame = SplitPageFrame(b, 50, 40, 10);
    EXPECT_EQ(b.top + 60, frame.body.top);
    EXPECT_EQ(b.bottom - 50, frame.body.bottom);
    EXPECT_EQ(b.bottom - 40, frame.footer.top);
}

TEST(PrintMargins, StoredValuesRoundTripAndDamagedOnesGiveTheDefaults) {
    PrintMargins margins = {1000, 1250, 0, kMaxMarginHundredths};
    uint8_t bytes[kStoredMarginsBytes];
    EncodePrintMargins(&margins, bytes);
    PrintMargins back = DecodePrintMargins(bytes, sizeof bytes);
    EXPECT_EQ(0, memcmp(&margins, &back, sizeof margins));
    EXPECT_EQ(kDefaultMarginHundredths, DecodePrintMargins(bytes, sizeof bytes - 1).left);
    bytes[5] = 0xFF;  // a top margin over 100 mm
    EXPECT_EQ(kDefaultMarginHundredths, DecodePrintMargins(bytes, sizeof bytes).left);
    bytes[5] = 0;
    bytes[15] = 0x80;  // a negative bottom margin
    EXPECT_EQ(kDefaultMarginHundredths, DecodePrintMargins(bytes, sizeof bytes).bottom);

    StoredPrintOptions options = {kCommentaryBeside, true, true};
    StoredPrintOptions decoded = DecodePrintOptions(EncodePrintOptions(&options));
    EXPECT_EQ(kCommentaryBeside, decoded.commentary);
    EXPECT_TRUE(decoded.newPagePerPair);
    EXPECT_TRUE(decoded.range);
    EXPECT_EQ(kCommentaryBelow, DecodePrintOptions(0x0F).commentary);
}

TEST(PrintRequest, ReadsRangesPlacementsAndNamesAndSaysWhatIsWrong) {
    PrintRequest request;
    wchar_t why[200];
    EXPECT_EQ(kNotPrintRequest, ReadPrintRequest(L"/today", 100, &request, why, 200));
    EXPECT_EQ(kNotPrintRequest, ReadPrintRequest(L"", 100, &request, why, 200));

    ASSERT_EQ(kPrintRequestRead,
              ReadPrintRequest(L"/PRINT 3-7 /commentary Beside /printer \"Test Printer\" /output Z:\\tmp\\a.ps",
                               200, &request, why, 200));
    EXPECT_EQ(3, request.choice.firstPair);
    EXPECT_EQ(7, request.choice.lastPair);
    EXPECT_EQ(kCommentaryBeside, request.choice.commentary);
    EXPECT_TRUE(request.commentaryGiven);
    EXPECT_STREQ(L"Test Printer", request.printer);
    EXPECT_STREQ(L"Z:\\tmp\\a.ps", request.output);

    ASSERT_EQ(kPrintRequestRead, ReadPrintRequest(L"/print \u05D9\u05D1\u2013\u05D8\u05F4\u05D5 /output \"a b.ps\"",
                                                  200, &request, why, 200));
    EXPECT_EQ(12, request.choice.firstPair);  // Hebrew numerals, a dash between
    EXPECT_EQ(15, request.choice.lastPair);
    EXPECT_STREQ(L"a b.ps", request.output);  // quotes keep a space in a name
    EXPECT_FALSE(request.commentaryGiven);
    EXPECT_STREQ(L"", request.printer);

    ASSERT_EQ(kPrintRequestRead, ReadPrintRequest(L"/print 178", 100, &request, why, 200));
    EXPECT_EQ(178, request.choice.firstPair);
    EXPECT_EQ(178, request.choice.lastPair);

    const wchar_t* bad[] = {L"/print", L"/print 0-3", L"/print 5-179", L"/print 9-8", L"/print x",
                            L"/print 1- ", L"/print 1-2 /commentary aside", L"/print 1-2 /printer",
                            L"/print 1-2 /fast yes", L"/print 1-2 /output a b.ps"};
    for (const wchar_t* line : bad) {
        why[0] = 0;
        EXPECT_EQ(kPrintRequestBad, ReadPrintRequest(line, 100, &request, why, 200)) << line;
        EXPECT_NE(0, why[0]) << line;
    }
    // The line is read no further than it is given.
    EXPECT_EQ(kPrintRequestRead, ReadPrintRequest(L"/print 4-5 /printer", 10, &request, why, 200));
}

}  // namespace
