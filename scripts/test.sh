#!/usr/bin/env bash
# Installs what is missing, builds both builds and runs the whole test suite:
# the native tests under AddressSanitizer and UBSan, then the Win32 tests
# under Wine and Xvfb in a prefix inside the build tree.
set -euo pipefail
source "$(dirname "$0")/common.sh"
ensure_packages $TEST_PACKAGES
build_all
export WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}"
(cd "$BUILD/host" && ctest --output-on-failure)
cd "$BUILD/win"
# Three at a time: the end-to-end runs spend most of their time waiting on Wine
# and on their own screens, beside the tests that share this prefix.
xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j3
