#include "fontdialog/font_sizes.h"

namespace {

int NextLarger(int size) {
    for (int listed : kOfferedFontSizes) {
        if (listed > size) return listed;
    }
    return size;
}

int NextSmaller(int size) {
    for (int i = kOfferedFontSizeCount - 1; i >= 0; i--) {
        if (kOfferedFontSizes[i] < size) return kOfferedFontSizes[i];
    }
    return size;
}

}  // namespace

int SteppedFontSize(int size, int steps) {
    for (; steps > 0; steps--) size = NextLarger(size);
    for (; steps < 0; steps++) size = NextSmaller(size);
    return size;
}
