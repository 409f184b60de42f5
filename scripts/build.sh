#!/usr/bin/env bash
# Configures and builds Arbolite into build/ (or $ARBOLITE_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ARBOLITE_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${ARBOLITE_BUILD_TYPE:-RelWithDebInfo}" ${ARBOLITE_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$(nproc)"
