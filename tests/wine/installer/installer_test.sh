#!/usr/bin/env bash
# The setup program in a Wine prefix of its own: a fresh copy of an untouched
# prefix for every case, so that what a case finds was put there by the setup
# program or its uninstaller and nothing else.
#
#   installer_test.sh CASE SETUP BIN WORK WINESERVER HAS_WINDOW STRINGS.rc SHIPPED...
#
# CASE: install (also makes the untouched prefix), keep, remove, upgrade,
# running. BIN holds the built files the setup program ships; SHIPPED are
# its files as FOLDER/NAME (INSTDIR or APPLET); STRINGS.rc is the applet's
# generated string table.
set -u
case=$1 setup=$2 bin=$3 work=$4 wineserver=$5 has_window=$6 strings=$7
shift 7
shipped=("$@")

fail() { echo "FAIL ($case): $*"; exit 1; }
note() { echo "$case: $*"; }

template=$work/untouched-prefix
export WINEPREFIX=$work/prefix-$case
export WINEDEBUG=-all
log=$work/wine-$case.log

# Wine's services start with their output away from ctest's pipes.
start_wine() {
  (
    "$wineserver" -p5
    "$KL_WINE" cmd /c exit
  ) </dev/null >>"$log" 2>&1
}
stop_wine() { "$wineserver" -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT

if [[ $case == install ]]; then
  rm -rf "$template"
  WINEPREFIX=$template bash -c "
    (\"$KL_WINE\" wineboot -i; \"$wineserver\" -w) </dev/null >>'$log' 2>&1" ||
    fail "the untouched prefix could not be made"
fi
[[ -d $template/drive_c ]] || fail "no untouched prefix (run wine.installer_install first)"
rm -rf "$WINEPREFIX"
cp -a "$template" "$WINEPREFIX" || fail "copying the untouched prefix"
start_wine

drive_c=$WINEPREFIX/drive_c
install_win='C:\Program Files\GamePad'
install=$drive_c/Program\ Files/GamePad
menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/KeyLoom
oem_key='HKLM\System\CurrentControlSet\Control\MediaProperties\PrivateProperties\Joystick\OEM\VornatekGamePad'
work_key='HKCU\Software\Vornatek\GamePad2\WorkPath'
suite_key='HKCU\Software\Vornatek\GamePad2'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KeyLoom'
cpls_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls'

wine_quiet() { "$KL_WINE" "$@" </dev/null 2>>"$log"; }

# The data of one registry value as reg.exe shows it; fails when it is absent.
reg_value() {
  local out
  out=$(wine_quiet reg query "$1" /v "$2" | tr -d '\r') || return 1
  sed -n "s/^    $2    REG_[A-Z_]*    //p" <<<"$out" | head -n 1
  grep -q "^    $2    REG_" <<<"$out"
}

# Runs the setup program silently and waits until every process it started
# has ended.
run_setup() {
  wine_quiet "$setup" /S "$@" >/dev/null
  local code=$?
  "$wineserver" -w
  start_wine
  return $code
}

# The uninstaller as the uninstall entry runs it: it copies itself away and
# removes the installation from there, so this waits for the prefix to idle.
run_uninstaller() {
  [[ -f $install/Uninstall.exe ]] || fail "no uninstaller in the installation folder"
  wine_quiet "$install_win\\Uninstall.exe" /S "$@" >/dev/null
  "$wineserver" -w
  start_wine
}

# Every registry line that names the suite, of the whole registry.
suite_registry_lines() {
  local file=$work/registry-$case.reg
  rm -f "$file"
  wine_quiet regedit /e "Z:${file//\//\\}" >/dev/null || fail "regedit could not export"
  iconv -f UTF-16LE -t UTF-8 "$file" | tr -d '\r' |
    grep -E 'Vornatek|KeyLoom|GamePad|OSTRA|ORVO|KLOOM|kltool' | sort
}

# Every file of drive C that names the suite, outside the untouched prefix.
suite_files() {
  (cd "$drive_c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune -o \
    -print) | grep -i -E 'gamepad|keyloom|vornatek|ostra|orvo|kloom|kltool|morvax' | sort
}

pad_name=$(sed -n 's/^ *57347, "\(.*\)" *$/\1/p' "$strings" | sed 's/""/"/g')
[[ -n $pad_name ]] || fail "string 57347 not found in $strings"

check_installation() {
  local item folder name where
  for item in "${shipped[@]}"; do
    folder=${item%%/*} name=${item#*/}
    where=$install
    cmp -s "$bin/$name" "$where/$name" || fail "$name is not the built file in $install_win"
  done
  [[ -d $install/KEYFILES ]] || fail "no KEYFILES folder"
  [[ -f $install/Uninstall.exe ]] || fail "no uninstaller"

  [[ $(reg_value "$work_key" Path) == "$install_win" ]] || fail "work path is not $install_win"
  [[ $(reg_value "$oem_key" OEMName) == "$pad_name" ]] || fail "OEMName is not \"$pad_name\""
  [[ $(reg_value "$oem_key" OEMData) == 200000000C000000 ]] ||
    fail "OEMData is not the 12-button pad's (flags 0x20, 12 buttons)"
  [[ $(reg_value "$uninstall_key" UninstallString) == "\"$install_win\\Uninstall.exe\"" ]] ||
    fail "no uninstall entry"
  [[ $(reg_value "$uninstall_key" InstallLocation) == "$install_win" ]] ||
    fail "the uninstall entry names another folder"
  [[ -f $menu/Uninstall\ KeyLoom.lnk ]] || fail "no Start menu entry for the uninstaller"
  if [[ " ${shipped[*]} " == *" INSTDIR/KLOOM.EXE "* ]]; then
    [[ -f $menu/KeyLoom.lnk ]] || fail "no Start menu entry for the editor"
  fi
  if [[ " ${shipped[*]} " == *" APPLET/OSTRA.CPL "* ]]; then
    [[ $(reg_value "$cpls_key" OSTRA) == "$install_win\\OSTRA.CPL" ]] ||
      fail "the applet is not registered with the control panel"
    [[ -f $menu/Joystick\ settings.lnk ]] || fail "no Start menu entry for the applet"
  fi
}

# A game list and a key file as the editor writes them (CR LF line ends,
# binary records), and the editor's remembered selection.
write_profiles() {
  printf 'NOTEPAD.EXE\r\nDemo\r\n1\r\n' >"$install/KEYFILES/GameList.lst"
  printf 'Demo\r\n\x04\x00\x10\x48\xff\x00\x0d\x0a\x1a\x00' >"$install/KEYFILES/NOTEPAD.key"
  mkdir -p "$work/profiles-$case"
  cp -p "$install/KEYFILES/"* "$work/profiles-$case/"
  wine_quiet reg add "$suite_key" /v Setting /t REG_DWORD /d 3 /f >/dev/null ||
    fail "could not write the editor's setting"
}

profiles_unchanged() {
  diff -r "$work/profiles-$case" "$install/KEYFILES" >/dev/null ||
    fail "KEYFILES differs from what was there before"
}

before_lines=$(suite_registry_lines)
before_files=$(suite_files)

case $case in
install)
  run_setup || fail "the silent setup failed"
  check_installation
  reg_value "$run_key" "KeyLoom mapper" >/dev/null && fail "log-on start without /AUTOSTART"
  [[ -z $(ls -A "$install/KEYFILES") ]] || fail "KEYFILES is not empty"
  # A chosen folder and the log-on start.
  stop_wine
  rm -rf "$WINEPREFIX"
  cp -a "$template" "$WINEPREFIX"
  start_wine
  run_setup /AUTOSTART '/D=C:\Games\KeyPad' || fail "the setup into another folder failed"
  [[ -f $drive_c/Games/KeyPad/ORVO.EXE ]] || fail "nothing in the chosen folder"
  [[ ! -e $install ]] || fail "the default folder was made though another was chosen"
  [[ $(reg_value "$work_key" Path) == 'C:\Games\KeyPad' ]] || fail "work path not the chosen folder"
  [[ $(reg_value "$run_key" "KeyLoom mapper") == '"C:\Games\KeyPad\ORVO.EXE"' ]] ||
    fail "no log-on start of the mapper"
  ;;
keep)
  run_setup || fail "the silent setup failed"
  write_profiles
  run_uninstaller
  profiles_unchanged
  [[ $(ls -A "$install") == KEYFILES ]] || fail "the uninstall left: $(ls -A "$install" | tr '\n' ' ')"
  after_files=$(suite_files | grep -v -E '^\./Program Files/GamePad(/KEYFILES(/.*)?)?$')
  [[ $after_files == "$before_files" ]] || fail "files left: $(comm -13 <(echo "$before_files") <(echo "$after_files"))"
  after_lines=$(suite_registry_lines)
  expected=$(printf '%s\n%s\n%s' "$before_lines" '[HKEY_CURRENT_USER\Software\Vornatek]' \
    '[HKEY_CURRENT_USER\Software\Vornatek\GamePad2]' | grep -v '^$' | sort)
  # reg.exe exports HKCU under the user's own key name.
  after_lines=$(sed -E 's/^\[HKEY_USERS\\S-1-5-21-[0-9-]+\\/[HKEY_CURRENT_USER\\/' <<<"$after_lines" | sort)
  [[ $after_lines == "$expected" ]] ||
    fail "registry left: $(comm -13 <(echo "$expected") <(echo "$after_lines"))"
  [[ $(reg_value "$suite_key" Setting) == 0x3 ]] || fail "the editor's setting went with the programs"
  ;;
remove)
  run_setup /AUTOSTART || fail "the silent setup failed"
  write_profiles
  run_uninstaller /REMOVEPROFILES
  [[ ! -e $install ]] || fail "the installation folder is still there: $(ls -A "$install")"
  [[ $(suite_files) == "$before_files" ]] || fail "files left: $(comm -13 <(echo "$before_files") <(suite_files))"
  after_lines=$(suite_registry_lines)
  [[ $after_lines == "$before_lines" ]] ||
    fail "registry left: $(comm -13 <(echo "$before_lines") <(echo "$after_lines"))"
  ;;
upgrade)
  run_setup /AUTOSTART || fail "the silent setup failed"
  write_profiles
  # An older installation: other program files than this build's.
  printf 'older' >"$install/ORVO.EXE"
  printf 'older' >"$install/ORVO_RS.DLL"
  run_setup || fail "the upgrade failed"
  profiles_unchanged
  check_installation
  [[ $(reg_value "$run_key" "KeyLoom mapper") == "\"$install_win\\ORVO.EXE\"" ]] ||
    fail "the upgrade dropped the log-on start chosen before"
  [[ $(reg_value "$suite_key" Setting) == 0x3 ]] || fail "the upgrade lost the editor's setting"
  ;;
running)
  run_setup || fail "the silent setup failed"
  # The editor starts only with a pad: the virtual pad beside the programs,
  # configured as the maker's pad.
  IFS=: read -r -a vpad_files <<<"${KL_VPAD_FILES:-}"
  ((${#vpad_files[@]} == 3)) || fail "KL_VPAD_FILES does not name the virtual pad's three files"
  cp "${vpad_files[@]}" "$install/" || fail "copying the virtual pad"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winmm=n,b" KLVPAD_NAME=installer-running
  wine_quiet reg add 'HKLM\System\CurrentControlSet\Control\MediaResources\Joystick\KlVirtualPad' \
    /f >/dev/null || fail "no driver key for the virtual pad"
  wine_quiet "$install_win\\vpadctl.exe" reset >/dev/null &&
    wine_quiet "$install_win\\vpadctl.exe" plug 0 buttons=12 regkey=KlVirtualPad >/dev/null &&
    wine_quiet "$install_win\\kltool.exe" joystick autodetect >/dev/null ||
    fail "the virtual pad could not be configured"

  # The editor, which starts the mapper.
  (cd "$install" && exec "$KL_WINE" "$install_win\\KLOOM.EXE" </dev/null >>"$log" 2>&1) &
  editor=$!
  for ((i = 0; i < 150; i++)); do
    wine_quiet "$has_window" MyKLoomClass >/dev/null &&
      wine_quiet "$has_window" MyOrvoClass >/dev/null && break
    kill -0 "$editor" 2>/dev/null || fail "KLOOM.EXE ended by itself"
    sleep 0.2
  done
  wine_quiet "$has_window" MyKLoomClass >/dev/null || fail "KLOOM.EXE showed no MyKLoomClass window"
  wine_quiet "$has_window" MyOrvoClass >/dev/null || fail "the editor started no mapper"
  run_uninstaller
  for class in MyKLoomClass MyOrvoClass; do
    wine_quiet "$has_window" "$class" >/dev/null && fail "the uninstaller left the $class window"
  done
  kill -0 "$editor" 2>/dev/null && fail "the uninstaller left KLOOM.EXE running"
  # The virtual pad's files are not the suite's: the uninstaller leaves them.
  for f in "${vpad_files[@]}"; do rm -f "$install/$(basename "$f")"; done
  [[ $(ls -A "$install") == KEYFILES ]] || fail "the uninstall left: $(ls -A "$install" | tr '\n' ' ')"
  ;;
*)
  fail "unknown case"
  ;;
esac
note "passed"
