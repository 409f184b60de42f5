#!/usr/bin/env bash
# Installs what is needed, builds, and starts Arbolite.
#
#   scripts/run.sh                  Arbolite with a small demonstration directory: an
#                                   OpenLDAP server on 127.0.0.1 port 38900 (or the next
#                                   free one, which the output window then names) holding
#                                   people and groups, and a settings home of its own
#                                   (build/demo-home, or $ARBOLITE_DEMO_HOME) with a
#                                   profile for it. The server stops when Arbolite ends.
#   scripts/run.sh --own-settings   Arbolite with your own settings; no server is started.
#
# Other arguments go to Arbolite.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ARBOLITE_BUILD_DIR:-$root/build}"

own=0
args=()
for arg in "$@"; do
  case "$arg" in
    --own-settings) own=1 ;;
    *) args+=("$arg") ;;
  esac
done

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

if [ "$own" -eq 1 ]; then
  exec "$build/bin/arbolite" "${args[@]}"
fi
export ARBOLITE_HOME="${ARBOLITE_DEMO_HOME:-$build/demo-home}"
mkdir -p "$ARBOLITE_HOME"
exec "$build/bin/arbolite-demo" "$build/bin/arbolite" "${args[@]}"
