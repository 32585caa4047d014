// Prints print_page_ms and preview_page_ms with their baselines.
#pragma once

void BenchPrint();
// Run as `lorvan_bench --print` for these figures alone.
const wchar_t kPrintOnlySwitch[] = L"--print";
