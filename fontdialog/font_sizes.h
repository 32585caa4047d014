// The reading sizes that Choose Font lists, which zoom steps through too.
// Window-free, so it is also tested natively.
#pragma once

// Pixels at 96 DPI, smallest first.
const int kOfferedFontSizes[] = {10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 52, 72};
const int kOfferedFontSizeCount = (int)(sizeof kOfferedFontSizes / sizeof kOfferedFontSizes[0]);

// The size `steps` listed sizes above `size` (below it for a negative
// count), stopping at either end of the list. A size between two listed
// ones takes the next one in the direction of the step as its first.
int SteppedFontSize(int size, int steps);
