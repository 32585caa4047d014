// Where a jump landed, said to the screen reader: "Found in Marel, ..." after
// a search, "Back to", "Forward to" and "Now at" after the other jumps.
// Nothing while no screen reader has asked for the reader's window.
#pragma once

// `lead`, then "Marel, " when the active pane is the lower one, then the
// heading of the active pane's section.
void AnnouncePlace(const wchar_t* lead);
