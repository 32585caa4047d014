// Prints startup_ms and step_ms for the reader window.
#pragma once

void BenchReaderWindow();
