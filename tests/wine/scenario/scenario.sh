#!/usr/bin/env bash
# The suite end to end from a clean Wine prefix, on an Xvfb display of its
# own: the setup program installs it silently, the virtual pad is plugged
# (no real pad answers in a fresh prefix), PROGRAM (wine_scenario_test.exe)
# drives the applet, the editor, the mapper and notepad through their
# windows, and a silent uninstall then has to leave KEYFILES byte for byte.
#
#   scenario.sh SETUP PROGRAM WORK SHOTS [TEMPLATE]
#
# WORK holds the prefix and the logs; the screenshots (PNG) end up in SHOTS,
# the whole screen at every step, and in SHOTS/windows the windows of the
# step alone (the user guide's pictures).
# TEMPLATE is an untouched prefix to copy; without it a new one is made.
# KL_VPAD_FILES: the virtual pad's winmm.dll, winmm_real.dll and vpadctl.exe,
# separated by colons. KL_WINE and KL_WINESERVER name Wine's programs
# (default: wine and wineserver from PATH).
set -u
(($# == 4 || $# == 5)) || { echo "usage: scenario.sh SETUP PROGRAM WORK SHOTS [TEMPLATE]" >&2; exit 2; }
setup=$1 program=$2 work=$3 shots=$4 template=${5:-}
wine=${KL_WINE:-wine}
wineserver=${KL_WINESERVER:-wineserver}

step() { echo "scenario: $*"; }
fail() {
  echo "FAIL (scenario): $*"
  exit 1
}

mkdir -p "$work" "$shots"
work=$(cd "$work" && pwd)
log=$work/wine.log
: >"$log"
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=${KL_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export KLVPAD_NAME=scenario

xvfb=
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 </dev/null
  if [[ -n $xvfb ]]; then kill "$xvfb" 2>/dev/null; fi
}
trap cleanup EXIT

# --- a display of its own ---------------------------------------------------
rm -f "$work/xvfb.fd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/xvfb.fd" \
  </dev/null >/dev/null 2>"$work/xvfb.log" &
xvfb=$!
number=
for ((i = 0; i < 200; i++)); do
  number=$(tr -dc '0-9' <"$work/xvfb.fd" 2>/dev/null)
  [[ -n $number ]] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.05
done
[[ -n $number ]] || fail "Xvfb did not start (see $work/xvfb.log)"
export DISPLAY=:$number

# --- a clean prefix ---------------------------------------------------------
"$wineserver" -k >/dev/null 2>&1 </dev/null
rm -rf "$WINEPREFIX"
if [[ -n $template ]]; then
  [[ -d $template/drive_c ]] || fail "no untouched prefix at $template"
  cp -a "$template" "$WINEPREFIX" || fail "copying the untouched prefix"
else
  step "making a new Wine prefix"
  ("$wine" wineboot -i; "$wineserver" -w) </dev/null >>"$log" 2>&1 || fail "wineboot failed"
fi
# Wine's services start with their output away from our pipes.
start_wine() { ("$wineserver" -p5; "$wine" cmd /c exit) </dev/null >>"$log" 2>&1; }
wine_quiet() { "$wine" "$@" </dev/null 2>>"$log"; }
start_wine
# All programs in one virtual desktop the size of the display.
wine_quiet reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine_quiet reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null

# --- silent install -----------------------------------------------------------
install_win='C:\Program Files\GamePad'
install=$WINEPREFIX/drive_c/Program\ Files/GamePad
step "installing with $(basename "$setup") /S"
wine_quiet "$setup" /S >/dev/null || fail "the setup program failed"
timeout 60 "$wineserver" -w || fail "the setup program left programs running"
start_wine
for f in KLOOM.EXE ORVO.EXE OSTRA.CPL Uninstall.exe; do
  [[ -f $install/$f ]] || fail "the setup program installed no $f"
done

# --- the virtual pad, as no real pad answers here -----------------------------
IFS=: read -r -a vpad_files <<<"${KL_VPAD_FILES:-}"
((${#vpad_files[@]} == 3)) || fail "KL_VPAD_FILES does not name the virtual pad's three files"
cp "${vpad_files[@]}" "$install/" || fail "copying the virtual pad"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm=n,b"
wine_quiet reg add 'HKLM\System\CurrentControlSet\Control\MediaResources\Joystick\KlVirtualPad' \
  /f >/dev/null || fail "no driver key for the virtual pad"
wine_quiet "$install_win\\vpadctl.exe" reset >/dev/null &&
  wine_quiet "$install_win\\vpadctl.exe" plug 0 buttons=12 regkey=KlVirtualPad >/dev/null ||
  fail "the virtual pad could not be plugged"

# --- the user's steps ---------------------------------------------------------
program_shots=$(dirname "$program")/screenshots
rm -rf "$program_shots"
step "applet, editor, mapper and notepad through their windows"
wine_quiet "$program"
result=$?
if [[ -d $program_shots && $(cd "$program_shots" && pwd) != $(cd "$shots" && pwd) ]]; then
  cp -r "$program_shots"/. "$shots/"
fi
((result == 0)) || fail "the steps in the suite failed (exit code $result)"

# --- silent uninstall keeps the profiles --------------------------------------
keys=$install/KEYFILES
[[ -s $keys/NOTEPAD.key && -s $keys/GameList.lst ]] || fail "no key file and game list in KEYFILES"
rm -rf "$work/keyfiles"
cp -a "$keys" "$work/keyfiles"
step "uninstalling with Uninstall.exe /S while the mapper runs"
wine_quiet "$install_win\\Uninstall.exe" /S >/dev/null
timeout 60 "$wineserver" -w || fail "the uninstaller left programs running (the mapper?)"
diff -r "$work/keyfiles" "$keys" >/dev/null || fail "KEYFILES changed in the uninstall"
for f in "${vpad_files[@]}"; do rm -f "$install/$(basename "$f")"; done
left=$(ls -A "$install")
[[ $left == KEYFILES ]] || fail "the uninstall left: $(tr '\n' ' ' <<<"$left")"
step "passed; screenshots in $shots"
