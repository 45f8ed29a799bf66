#!/usr/bin/env bash
# Builds Korvalin for 64-bit Windows and runs every test under Wine.
#   scripts/test.sh [extra ctest arguments]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/deps.sh
cmake --preset win64 ${KORVALIN_WERROR:+-DKORVALIN_WERROR=ON} >/dev/null
cmake --build --preset win64

. scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$root/build/win64"
ctest --test-dir build/win64 --output-on-failure "$@"
