// The demonstration edition that the reader ships with, made up from the
// word lists below with a fixed pseudo-random sequence, so that every run
// gives the same bytes. 178 main sections, each with its commentary, titled
// in Hebrew numerals, with sizes spread like a real book's, and every
// typographic device the reader draws: hanging words, continuations, the
// three alignments, indents, the large, small and bold styles, rules of both
// kinds and spacers.
#include "tools/book/edition.h"

#include "tools/book/book_text.h"

#include <stdio.h>

#include <string>
#include <vector>

namespace {

const int kLargestPair = 89;          // the one section near 4170 bytes
const int kLargestBytes = 4170;
const int kMainLowBytes = 420, kMainHighBytes = 4060;
const int kCommentaryLowBytes = 300, kCommentaryHighBytes = 3600;

// ---- Words ----------------------------------------------------------------------

// Mishnaic Hebrew: the main text.
const char* const kMishnaWords[] = {
    "האומר", "הרי", "זה", "זו", "חייב", "פטור", "בשבת", "ביום", "טוב", "כל", "אחד", "שנים", "אם", "היה",
    "לו", "את", "על", "מן", "לא", "אין", "יש", "בין", "אומר", "הלכה", "כדברי", "מודים", "שאם", "אבל",
    "אלא", "כיצד", "מקום", "שנהגו", "נוהגין", "עושין", "מלאכה", "בערבי", "עד", "חצות", "המוצא", "מציאה",
    "בבית", "בשדה", "הכלים", "טמאים", "טהורים", "מותר", "אסור", "לאכול", "לשתות", "המקדש", "האשה",
    "בכסף", "בשטר", "בביאה", "נקנית", "בשלש", "דרכים", "וקונה", "עצמה", "בגט", "ובמיתת", "הבעל", "היבמה",
    "נקנית", "בחליצה", "עבד", "עברי", "נקנה", "ביובל", "ובשנים", "המביא", "ביכורים", "קורא", "ומניח",
    "השוכר", "את", "הפועלים", "ואמר", "להם", "להשכים", "ולהעריב", "מקום", "שנהגו", "שלא", "רשאי",
    "לכופן", "הכל", "כמנהג", "המדינה", "מעשה", "ברבן", "יוחנן", "שאמר", "לבנו", "צא", "ושכור", "לנו",
    "פועלים", "שנים", "שלשה", "ימים", "לילות", "שמן", "יין", "פת", "תבואה", "שדה", "כרם", "גפן", "תאנה",
    "זית", "המים", "האש", "הנר", "השמש", "שבעה", "עשרה", "ארבעה", "חמשה", "ראשון", "אחרון", "קודם",
    "אחר", "כך", "נותן", "נוטל", "מקבל", "מוכר", "לוקח", "נושא", "ונותן", "בעל", "הבית", "הנכסים",
    "שמירה", "שומר", "חנם", "שכר", "השואל", "משלם", "נשבע", "שבועה", "עדים", "העדות", "הדיינים",
    "בית", "דין", "שבעים", "ואחד", "סנהדרין", "גדולה", "קטנה", "כהן", "לוי", "ישראל", "ממזר", "גר",
    "ודברים", "הללו", "אמורים", "במה", "דברים", "לפיכך", "שנאמר", "ונאמר", "מכאן", "אמרו", "כיוצא", "בו",
};

// Aramaic and the Hebrew of the commentators: the commentary.
const char* const kCommentaryWords[] = {
    "אמר", "מאי", "טעמא", "דתנן", "תנא", "קמא", "איבעיא", "להו", "תא", "שמע", "היכי", "דמי", "הכא",
    "במאי", "עסקינן", "לאו", "דווקא", "קשיא", "תיובתא", "תרגמה", "אביי", "רבא", "רב", "אשי", "פפא",
    "ליה", "לן", "מיהו", "איכא", "דאמרי", "והא", "מדקתני", "סיפא", "רישא", "משום", "דקסבר", "כולי",
    "עלמא", "פליגי", "כי", "בדרבנן", "דאורייתא", "פירוש", "כלומר", "דהיינו", "שהרי", "לפי", "שאין",
    "כאן", "משמע", "וכן", "הוא", "ולכך", "נראה", "לי", "דבר", "אחר", "כגון", "וזה", "לשונו", "ואם",
    "תאמר", "ויש", "לומר", "דלא", "קשה", "מידי", "דהא", "אפילו", "הכי", "נמי", "שפיר", "מסקנא",
    "דשמעתא", "פסק", "הרב", "ועיין", "מה", "שכתבתי", "לעיל", "בזה", "והנה", "יש", "לדקדק", "בלשון",
    "המשנה", "דקתני", "ולא", "קתני", "ונראה", "ליישב", "דכיון", "שכבר", "בירר", "דבריו", "בתחילה",
    "סמך", "על", "מה", "שאמר", "ותדע", "שכן", "הוא", "דאם", "לא", "כן", "למה", "ליה", "למיתני",
    "והכי", "איתא", "בירושלמי", "ובתוספתא", "גרסינן", "ובספרים", "ישנים", "הגירסא", "וכן", "עיקר",
    "הטעם", "בזה", "לפי", "שהתורה", "חסה", "על", "ממונם", "של", "ישראל", "ודוק", "היטב", "בכל", "זה",
};

const char* const kSages[] = {"מאיר", "יהודה", "שמעון", "יוסי", "אליעזר", "יהושע", "עקיבא", "טרפון",
                              "ישמעאל", "גמליאל", "יוחנן", "אלעזר", "נתן", "חנינא"};

const char* const kPartNames[] = {"חלק ראשון", "חלק שני", "חלק שלישי", "חלק רביעי"};

// Chapters per part; 178 sections in all.
const int kChapterSizes[] = {9, 7, 8, 6, 10, 5, 8, 7,  // part 1: 60
                             6, 9, 7, 8, 5, 9, 6,      // part 2: 50
                             8, 6, 7, 9, 5, 6,         // part 3: 41
                             7, 9, 5, 6};              // part 4: 27
const int kChaptersInPart[] = {8, 7, 6, 4};

template <typename T, size_t N>
constexpr size_t Count(const T (&)[N]) { return N; }

// ---- Deterministic randomness -----------------------------------------------------

struct Random {
    uint32_t state;
};

uint32_t Next(Random* r) {
    r->state = r->state * 1664525u + 1013904223u;
    return r->state >> 8;
}

int Below(Random* r, int n) { return (int)(Next(r) % (uint32_t)n); }
bool Chance(Random* r, int percent) { return Below(r, 100) < percent; }
double Unit(Random* r) { return (double)(Next(r) & 0xFFFF) / 65536.0; }

// ---- Hebrew numerals -----------------------------------------------------------

// The same letters without the marks, as a running count in the text.
std::string PlainNumeral(int n) {
    std::string marked = HebrewNumeral(n), out;
    for (char c : marked)
        if (c != '"' && c != '\'') out += c;
    return out;
}

// ---- Text ---------------------------------------------------------------------

// Code bytes a piece of source text takes: one per character.
int CodeLength(const std::string& utf8) {
    int count = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) count++;
    return count;
}

struct WordSource {
    const char* const* words;
    int count;
};

std::string Word(Random* r, const WordSource& source) { return source.words[Below(r, source.count)]; }

// One sentence of 5 to 14 words, sometimes quoting a sage, ending in "." or ":".
std::string Sentence(Random* r, const WordSource& source, bool commentary, bool sage = true) {
    std::string out, previous;
    int words = 5 + Below(r, 10);
    if (sage && Chance(r, 25)) out = std::string(commentary ? "אמר רבי " : "רבי ") + kSages[Below(r, (int)Count(kSages))] + (commentary ? "" : " אומר");
    for (int i = 0; i < words; i++) {
        std::string word = Word(r, source);
        if (word == previous) word = Word(r, source);
        if (!out.empty()) out += Chance(r, 8) ? ", " : " ";
        out += word;
        previous = word;
    }
    if (Chance(r, 12)) out += " (דף " + PlainNumeral(2 + Below(r, 120)) + ")";
    if (commentary && Chance(r, 10)) out += " {" + PlainNumeral(1 + Below(r, 9)) + "}";
    return out + (Chance(r, 60) ? "." : ":");
}

// Sentences up to about `codes` code bytes, never over.
std::string Text(Random* r, const WordSource& source, bool commentary, int codes, bool sage = true) {
    std::string out = Sentence(r, source, commentary, sage);
    for (;;) {
        std::string next = Sentence(r, source, commentary);
        if (CodeLength(out) + 1 + CodeLength(next) > codes) break;
        out += " " + next;
    }
    while (CodeLength(out) > codes && out.find(' ') != std::string::npos) out.erase(out.rfind(' '));
    return out;
}

// ---- Sections -------------------------------------------------------------------

struct Section {
    std::string source;
    int bytes;   // expanded size so far, terminator included
    int target;  // the size the section is made to
};

// Caps a paragraph's length so that the section stays near its target.
int Fit(const Section* s, int codes) {
    int room = s->target - s->bytes - 24;
    return codes < room ? codes : room < 12 ? 12 : room;
}

// Adds one paragraph line; `blankAfter` gives it a blank row.
void Add(Section* s, const std::string& markup, const std::string& text, bool blankAfter, int extraCodes = 0) {
    std::string line = markup.empty() ? text : "[" + markup + "]" + (text.empty() ? "" : " " + text);
    s->source += line + "\n";
    if (blankAfter) s->source += "\n";
    s->bytes += 3 + CodeLength(text) + extraCodes;
}

Section StartSection(const std::string& title, const std::string& subtitle, int target) {
    Section s = {"", 1, target};
    Add(&s, "title", title, true);
    Add(&s, "subtitle", subtitle, true);
    return s;
}

// A numbered list whose numbers hang, some items continued by a second
// paragraph that keeps the hanging column.
void AddHangingList(Random* r, Section* s, const WordSource& words, bool commentary, int budget) {
    int items = 2 + Below(r, 3);
    int first = Chance(r, 30) ? 10 + Below(r, 5) : 1;
    for (int i = 0; i < items && s->bytes < budget; i++) {
        int number = first + i;
        std::string hang = number >= 10 ? "hang=3" : Chance(r, 50) ? "hang=2" : "hang=1";
        std::string label = number >= 10 || hang == "hang=1" ? PlainNumeral(number) : PlainNumeral(number) + ".";
        std::string indent = Chance(r, 40) ? " indent=" + std::to_string(4 + 2 * Below(r, 5)) : "";
        bool continued = Chance(r, 45);
        Add(s, hang + indent, label + " " + Text(r, words, commentary, Fit(s, 60 + Below(r, 180))), !continued);
        if (continued) Add(s, "cont", Text(r, words, commentary, Fit(s, 50 + Below(r, 140))), true, 1);
    }
}

void AddQuote(Random* r, Section* s, const WordSource& words) {
    std::string text = "שנאמר \"" + Text(r, words, false, Fit(s, 40 + Below(r, 60))) + "\"";
    Add(s, "indent=" + std::to_string(12 + 4 * Below(r, 4)), text, true);
}

void AddInterlude(Random* r, Section* s) {
    switch (Below(r, 4)) {
        case 0: Add(s, "rule=" + std::to_string(40 + 10 * Below(r, 9)) + " center", "", true); break;
        case 1: Add(s, "rule=" + std::to_string(20 + 10 * Below(r, 7)) + "% center", "", true); break;
        case 2: Add(s, "bold center", PlainNumeral(1 + Below(r, 20)) + " " + kMishnaWords[Below(r, (int)Count(kMishnaWords))], true); break;
        default: Add(s, "rule=100%", "", false); break;
    }
}

// The opening words of a comment, as quoted from the text it explains.
std::string Lemma(Random* r, const WordSource& words) {
    std::string out = Word(r, words);
    for (int i = Below(r, 3); i >= 0; i--) out += " " + Word(r, words);
    return out + " וכו'.";
}

// The closing paragraph fills the section to its target size.
void Finish(Random* r, Section* s, const WordSource& words, bool commentary, int target) {
    int room = target - s->bytes - 3;
    if (room <= 8) return;
    std::string text = Text(r, words, commentary, room - 1);
    for (int tries = 0; tries < 40 && CodeLength(text) + 2 < room; tries++) {
        std::string word = Word(r, words);
        if (CodeLength(text) + 1 + CodeLength(word) + 1 <= room) text += " " + word;
    }
    Add(s, "", text + (CodeLength(text) < room ? ":" : ""), false);
}

std::string MainSection(Random* r, int pair, int chapter, int inChapter, int target) {
    WordSource words = {kMishnaWords, (int)Count(kMishnaWords)};
    Section s = StartSection("סימן " + HebrewNumeral(pair),
                             "פרק " + HebrewNumeral(chapter) + " משנה " + HebrewNumeral(inChapter), target);
    if (inChapter == 1) Add(&s, "large center", Text(r, words, false, Fit(&s, 20 + Below(r, 20))), true);
    int budget = target - 120;
    Add(&s, "hang=3", "מתני' " + Text(r, words, false, Fit(&s, 80 + Below(r, 200)), false), true);
    while (s.bytes < budget) {
        int kind = Below(r, 10);
        if (kind < 4) Add(&s, "", Text(r, words, false, Fit(&s, 60 + Below(r, 300))), Chance(r, 85));
        else if (kind < 6) AddHangingList(r, &s, words, false, budget);
        else if (kind < 7) AddQuote(r, &s, words);
        else if (kind < 8) AddInterlude(r, &s);
        else if (kind < 9) {
            Add(&s, "", Text(r, words, false, Fit(&s, 40 + Below(r, 120))), false);
            Add(&s, "spacer", "", false);
        } else {
            Add(&s, "small", Text(r, words, false, Fit(&s, 40 + Below(r, 100))), true);
        }
    }
    Finish(r, &s, words, false, target);
    if (pair % 7 == 3) Add(&s, "small left", "(" + std::string("עד כאן") + ")", false);
    return s.source;
}

std::string CommentarySection(Random* r, int pair, int target) {
    WordSource words = {kCommentaryWords, (int)Count(kCommentaryWords)};
    Section s = StartSection("ביאור " + HebrewNumeral(pair), "על סימן " + HebrewNumeral(pair), target);
    int budget = target - 100;
    while (s.bytes < budget) {
        int kind = Below(r, 10);
        if (kind < 4) {
            Add(&s, "bold", Lemma(r, words), false);
            Add(&s, "", Text(r, words, true, Fit(&s, 60 + Below(r, 260))), true);
        } else if (kind < 6) {
            AddHangingList(r, &s, words, true, budget);
        } else if (kind < 8) {
            Add(&s, "small indent=" + std::to_string(6 + 2 * Below(r, 6)), Text(r, words, true, Fit(&s, 40 + Below(r, 140))), true);
        } else if (kind < 9) {
            Add(&s, "rule=" + std::to_string(30 + 10 * Below(r, 6)) + "% left", "", true);
        } else {
            Add(&s, "small bold center", Text(r, words, true, Fit(&s, 10 + Below(r, 20))), true);
        }
    }
    Finish(r, &s, words, true, target);
    if (pair % 5 == 0) Add(&s, "left", "ודוק:", false);
    return s.source;
}

// Expanded sizes: mostly middling, a few small, a few large, one largest.
int TargetBytes(Random* r, int low, int high) {
    double u = Unit(r);
    return low + (int)((high - low) * u * u * (1.6 - 0.6 * u));
}

// ---- Index ------------------------------------------------------------------------

std::string LinkText(const std::string& mainSource, int pair) {
    // The first three words after "מתני'" in the section's opening paragraph.
    const std::string opening = "מתני' ";
    size_t at = mainSource.find(opening) + opening.size();
    std::string line = mainSource.substr(at, mainSource.find('\n', at) - at);
    std::string words;
    int taken = 0;
    size_t start = 0;
    while (taken < 3 && start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string::npos) end = line.size();
        std::string word;
        for (size_t i = start; i < end; i++)
            if (std::string(".,:(){}\"").find(line[i]) == std::string::npos) word += line[i];
        if (!word.empty()) {
            words += (taken ? " " : "") + word;
            taken++;
        }
        start = end + 1;
    }
    return "סימן " + HebrewNumeral(pair) + " - " + words;
}

std::string ChapterName(Random* r) {
    return std::string(kMishnaWords[Below(r, (int)Count(kMishnaWords))]) + " " +
           kMishnaWords[Below(r, (int)Count(kMishnaWords))];
}

std::string Index(Random* r, const std::vector<std::string>& mainSources) {
    std::string out = "# The outline of the demonstration edition (generated by make_edition).\n"
                      "# + collapsed heading, - expanded heading, > link to a section, . label;\n"
                      "# two spaces per level.\n\n"
                      ". [large bold] ספר הדוגמה\n"
                      ". [small] מהדורה לדוגמה שנוצרה מעצמה\n";
    int chapter = 0, pair = 1;
    for (int part = 0; part < 4; part++) {
        bool partOpen = part == 0 || part == 2;
        out += std::string(partOpen ? "- " : "+ ") + "[bold] " + kPartNames[part] + "\n";
        int first = pair, count = 0;
        for (int c = 0; c < kChaptersInPart[part]; c++) count += kChapterSizes[chapter + c];
        out += "  . [small] סימנים " + HebrewNumeral(first) + " - " + HebrewNumeral(first + count - 1) + "\n";
        for (int c = 0; c < kChaptersInPart[part]; c++, chapter++) {
            bool chapterOpen = part == 0 && c == 0;
            out += std::string(chapterOpen ? "  - " : "  + ") + "פרק " + HebrewNumeral(chapter + 1) + ": " +
                   ChapterName(r) + "\n";
            for (int k = 0; k < kChapterSizes[chapter]; k++, pair++)
                out += "    > " + std::to_string(2 * pair - 1) + " " + LinkText(mainSources[pair - 1], pair) + "\n";
        }
    }
    out += ". [small] סוף הספר\n";
    return out;
}

}  // namespace

void GenerateEdition(SourceFiles* files) {
    files->clear();
    Random random = {20260101u};
    std::vector<std::string> mainSources;
    int pair = 1;
    for (int chapter = 0; chapter < (int)Count(kChapterSizes); chapter++) {
        for (int k = 1; k <= kChapterSizes[chapter]; k++, pair++) {
            int mainTarget = pair == kLargestPair ? kLargestBytes : TargetBytes(&random, kMainLowBytes, kMainHighBytes);
            int commentaryTarget = TargetBytes(&random, kCommentaryLowBytes, kCommentaryHighBytes);
            std::string mainSource = MainSection(&random, pair, chapter + 1, k, mainTarget);
            (*files)[PairFileName(2 * pair - 1)] =
                "# Sections " + std::to_string(2 * pair - 1) + " and " + std::to_string(2 * pair) +
                " of the demonstration edition (generated by make_edition).\n\n" + mainSource + "@commentary\n\n" +
                CommentarySection(&random, pair, commentaryTarget);
            mainSources.push_back(mainSource);
        }
    }
    (*files)["index.txt"] = Index(&random, mainSources);
    (*files)["book.txt"] = std::string("# The demonstration edition (generated by make_edition).\n") +
                           "id: " + kEditionBookId + "\n"
                           "title: ספר הדוגמה\n";
}
