#include "content/book_numbers.h"

namespace {
struct BookNumbers {
    int pairs;
    int lastSection;
};
BookNumbers gBookNumbers = {kBuiltInBookPairs, 2 * kBuiltInBookPairs};
}  // namespace

const int& kBookPairs = gBookNumbers.pairs;
const int& kLastBookSection = gBookNumbers.lastSection;

bool SetBookPairs(int pairs) {
    if (pairs < 1 || pairs > kMaxBookPairs) return false;
    gBookNumbers.pairs = pairs;
    gBookNumbers.lastSection = 2 * pairs;
    return true;
}
