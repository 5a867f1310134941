#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs them (windows offscreen). Any report fails the test it
# comes from; known leaks of the font library are suppressed by name.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
bash tools/checked-build.sh build-asan -DOSTRAK_SANITIZE=ON
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
