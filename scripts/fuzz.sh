#!/usr/bin/env bash
# Fuzzes for the given number of seconds (default 60) with libFuzzer:
#   scripts/fuzz.sh [SECONDS] [TARGET]    TARGET defaults to fuzz_section_block;
#   the others are fuzz_book_source, fuzz_palmdoc_roundtrip, fuzz_dialog_template,
#   fuzz_rtf_encoder (also documents appended to another program's clipboard
#   data), fuzz_index_text (index records and the bookmark group),
#   fuzz_search (search strings as stored, with the options and Find All,
#   over damaged section texts), fuzz_history (a stored "History", then
#   Back, Forward and jumps), fuzz_book_info (the book information
#   resource and book.txt), fuzz_import (the library's JSON export, a
#   text and a commentary) and fuzz_reading_text (the reading text of Copy
#   and the screen readers, and the rows' spans over it)
# The corpus is kept in build/fuzz-corpus/TARGET between runs.
set -euo pipefail
source "$(dirname "$0")/common.sh"
ensure_packages
seconds="${1:-60}"
target="${2:-fuzz_section_block}"
CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLORVAN_FUZZ=ON -DLORVAN_SANITIZE=ON >/dev/null
cmake --build "$BUILD/fuzz" -j"$(nproc)" --target "$target"
corpus="$BUILD/fuzz-corpus/$target"
mkdir -p "$corpus"
"$BUILD/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus"
