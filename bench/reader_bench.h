// Prints startup_ms, step_ms and chooser_open_ms for the reader window.
#pragma once

void BenchReaderWindow();
// Run as `lorvan_bench --bare-window`: prints the milliseconds a bare window
// of our own class takes to its first paint, as the process's first window.
const wchar_t kBareWindowSwitch[] = L"--bare-window";
void BenchBareWindow();

// The benchmark's search for a word that the book does not hold: "computer"
// in Hebrew, in drawing order as the keyboard enters it.
const char kBenchMissingSearch[] = "bzho";
