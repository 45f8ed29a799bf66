#!/usr/bin/env bash
# Measures Korvalin against the floor (a bare window with the same controls)
# and prints the table of the README's Performance section.
#   scripts/bench.sh [--runs N]      (N >= 20; 21 by default)
# Builds what it needs (64-bit, and the 32-bit release for the sizes), runs
# under Wine in the build tree's own prefix like the tests, and never touches
# the user's settings: korvalin.exe runs from a scratch copy, and
# HKCU\Software\Tencent\WeChat is saved and restored by window_bench.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

runs=21
if [ "${1:-}" = "--runs" ] && [ -n "${2:-}" ]; then runs=$2; fi

scripts/deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target korvalin korvalin-cli floor_window window_bench \
  cipher_bench wine_desktop_keeper >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target korvalin korvalin-cli >/dev/null

# Stripped copies, as the programs ship: the sizes are theirs, and the 64-bit
# ones are what window_bench runs (Wine keeps an image's debug sections in
# the process's private memory).
out=build/bench
rm -rf "$out"
mkdir -p "$out/win64" "$out/win32"
for exe in app/korvalin app/korvalin-cli bench/floor_window; do
  x86_64-w64-mingw32-strip -o "$out/win64/${exe#*/}.exe" "build/win64/$exe.exe"
done
for exe in app/korvalin app/korvalin-cli; do
  i686-w64-mingw32-strip -o "$out/win32/${exe#*/}.exe" "build/win32/$exe.exe"
done

# The DLLs an executable imports, in lower case; those that Windows does not
# ship are marked, and make the script fail at the end.
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll ole32.dll oleaut32.dll"
system_dlls+=" shell32.dll shlwapi.dll dbghelp.dll version.dll msvcrt.dll comdlg32.dll "
foreign=0
imports() {  # objdump executable
  local dll list=""
  for dll in $($1 -p "$2" | awk '/DLL Name:/ {print tolower($3)}' | sort -u); do
    case "$system_dlls" in
      *" $dll "*) list+="${list:+ }${dll%.dll}" ;;
      *) list+="${list:+ }**${dll} (not a system DLL)**"; foreign=1 ;;
    esac
  done
  echo "$list"
}

. scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$root/build/win64" >/dev/null

table=$(wine build/win64/bench/window_bench.exe --runs "$runs" \
  --programs "$(winepath -w "$root/$out/win64")" </dev/null | tr -d '\r')
cipher=$(wine build/win64/bench/cipher_bench.exe </dev/null | tr -d '\r' |
  awk '/^260 bytes/ {found = 1; next} found && /encode \+ decode/ {print $5; exit}')

echo "$table"
echo "| cipher: encode plus decode of a 260-byte value on the GUI thread | ${cipher} us | | | |"
echo
echo "| stripped | win64 | win32 | imports (win64 / win32) | goal |"
echo "|---|---|---|---|---|"
for exe in korvalin korvalin-cli; do
  s64=$(stat -c %s "$out/win64/$exe.exe")
  s32=$(stat -c %s "$out/win32/$exe.exe")
  i64=$(imports x86_64-w64-mingw32-objdump "$out/win64/$exe.exe")
  i32=$(imports i686-w64-mingw32-objdump "$out/win32/$exe.exe")
  [ "$i64" = "$i32" ] || i64="$i64 / $i32"
  echo "| $exe.exe | $((s64 / 1024)) KB | $((s32 / 1024)) KB | $i64 | win64 <= 300 KB |"
done
echo
echo "Machine: $(nproc) CPUs, $(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)," \
  "$(wine --version 2>/dev/null)"
exit $foreign
