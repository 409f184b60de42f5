#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build="${ARBOLITE_BUILD_DIR:-$root/build}"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
