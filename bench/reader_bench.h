// Prints startup_ms, step_ms and chooser_open_ms for the reader window.
#pragma once

void BenchReaderWindow();
