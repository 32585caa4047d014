// Prints startup_ms, step_ms, chooser_open_ms, find_all_rows_ms and the
// others for the reader window.
#pragma once

void BenchReaderWindow();
// Run as `lorvan_bench --bare-window` or `--startup`: prints the milliseconds
// a bare window of our own class, or the reader, takes to its first paint, as
// the first window of the process.
const wchar_t kBareWindowSwitch[] = L"--bare-window";
const wchar_t kStartupSwitch[] = L"--startup";
void BenchBareWindow();
void BenchStartupOnce();

// The benchmark's search for a word that the book does not hold: "computer"
// in Hebrew, in drawing order as the keyboard enters it.
const char kBenchMissingSearch[] = "bzho";

// A pair of letters the book holds more often than any other: "-im", yod and
// final mem, in drawing order.
const char kBenchFrequentPair[] = "nj";
