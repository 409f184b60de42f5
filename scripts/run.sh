#!/usr/bin/env bash
# Installs what is needed, builds, and starts Arbolite.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "${ARBOLITE_BUILD_DIR:-$root/build}/bin/arbolite" "$@"
