#!/usr/bin/env bash
# Builds the whole suite with the address and undefined-behaviour sanitizers
# into build-asan/ (or $ARBOLITE_ASAN_BUILD_DIR) and runs it; a report ends
# the test program that made it, so its test fails. Not part of .ci/run: the
# instrumented suite takes far longer than the plain one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ARBOLITE_ASAN_BUILD_DIR:-$root/build-asan}"
jobs="${ARBOLITE_JOBS:-$(nproc)}"
flags="-fsanitize=address,undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DARB_TEST_TIMEOUT=3000 \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" ${ARBOLITE_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$jobs"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/support/lsan.supp:print_suppressions=0"
cd "$build"
ctest --output-on-failure -j "$jobs" --timeout 1800 "$@"
