// Prints startup_ms, step_ms and chooser_open_ms for the reader window.
#pragma once

void BenchReaderWindow();

// The benchmark's search for a word that the book does not hold: "computer"
// in Hebrew, in drawing order as the keyboard enters it.
const char kBenchMissingSearch[] = "bzho";
