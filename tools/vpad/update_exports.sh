#!/bin/sh
# Regenerates winmm_exports.txt: every name Wine's own winmm.dll exports.
# The virtual pad's winmm.dll implements the joystick functions and
# forwards all the others to winmm_real.dll, a copy of that DLL.
set -eu
dll=${1:-/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/winmm.dll}
out=$(dirname "$0")/winmm_exports.txt
{
  echo "# Names exported by $(basename "$dll") of $(wine --version 2>/dev/null || echo Wine)."
  echo "# Made by update_exports.sh; one name a line."
  x86_64-w64-mingw32-objdump -p "$dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    awk 'NF == 3 { print $3 }' | sort
} >"$out"
