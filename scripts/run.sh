#!/usr/bin/env bash
# Builds Korvalin when needed and starts korvalin.exe under Wine. With a
# display it opens there; without one it runs on a virtual display, saves a
# screenshot and says where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/deps.sh
[ -f build/win64/build.ninja ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target korvalin

. scripts/wine-session.sh
if [ -n "${DISPLAY:-}" ]; then
  export KORVALIN_USE_DISPLAY=1
  trap wine_session_stop EXIT
  wine_session_start "$root/build/win64"
  wine build/win64/app/korvalin.exe
else
  trap wine_session_stop EXIT
  wine_session_start "$root/build/win64"
  wine build/win64/app/korvalin.exe &
  sleep "${KORVALIN_SHOT_DELAY:-4}"
  shot="$root/build/win64/korvalin-screenshot.png"
  import -window root "$shot"
  echo "No display: korvalin.exe ran on a virtual one. Screenshot: $shot"
fi
