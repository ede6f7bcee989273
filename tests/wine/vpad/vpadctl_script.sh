#!/usr/bin/env bash
# vpadctl driven from the host, the way scripted tests of whole programs use
# it: plug, move, press, show, unplug; a bad command fails and changes nothing.
set -u
vpadctl=$1
run() { "$KL_WINE" "$vpadctl" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }

run reset || fail "reset"
run plug 2 buttons=10 regkey=MSJSTICK || fail "plug"
run state 2 x=0 y=65535 buttons=0x5 || fail "state"
run press 2 9 || fail "press"
shown=$(run show | tr -d '\r')
echo "$shown"
grep -q '^2 plugged numbuttons=10 axes=2 hat=0 regkey="MSJSTICK" .* x=0 y=65535 .* buttons=0x00000205 ' \
  <<<"$shown" || fail "show does not list what was set"

if run state 2 x=65536x 2>/dev/null; then fail "a bad number was accepted"; fi
run show | tr -d '\r' | grep -q ' x=0 y=65535 ' || fail "a refused command changed the pad"

run unplug 2 || fail "unplug"
run show | tr -d '\r' | grep -q '^2 unplugged numbuttons=10' || fail "unplug not shown"
echo "vpadctl script passed"
