// Fonts on this platform.
#pragma once

#include <windows.h>

// The face used while no font has been chosen. A desktop's default font often
// has no Hebrew letters, so this is an installed face that has them (a
// preferred one when present), or empty when none is found.
const wchar_t* DefaultHebrewFaceName();
