#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps

build=build-asan
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DENABLE_SANITIZERS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

# Every fuzz target for a bounded number of runs, on its seeds and kept regression inputs.
scripts/fuzz --runs 200

export QT_QPA_PLATFORM=offscreen
# Full stacks on every allocation, so suppressions can name the library a leak comes from.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:detect_stack_use_after_return=1:check_initialization_order=1
export LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp":print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
