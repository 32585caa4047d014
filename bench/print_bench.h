// Prints print_page_ms and preview_page_ms with their baselines.
#pragma once

void BenchPrint();
