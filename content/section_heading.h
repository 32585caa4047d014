// The heading a reader knows a section by, for every place that names one:
// the status line, Find All's rows, the source line of a copy, and what
// speaks or prints a section.
#pragma once

#include <stdint.h>
#include <wchar.h>

// Room for a heading and its terminator; longer ones are cut.
const int kSectionHeadingChars = 96;

// Writes the heading of `section` (whose text is `sectionText`, which may be
// null) into `heading`, room for `headingChars` characters with the
// terminator, and returns the characters written. The heading is in reading
// order, its letters Unicode: the title, then ", " and the subtitle when
// there are both. A section without titles is named by the number a reader
// knows it by, its pair ("12" for sections 23 and 24). A heading that does
// not fit is cut at the end of its last whole word that does, and ends in
// "…"; a first word too long for the room is cut inside it.
int SectionHeading(const uint8_t* sectionText, int section, wchar_t* heading, int headingChars);
