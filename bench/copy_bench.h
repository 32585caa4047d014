// Prints copy_ms_largest_section and rtf_encode_mb_per_s.
#pragma once

void BenchCopy();
