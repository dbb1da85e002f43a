#!/usr/bin/env bash
# Runs a test program as a native Wayland client of weston (headless).
#   wayland_tests.sh PROGRAM [ARGUMENTS...]
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
# shellcheck source=../tests/fixtures/weston_display.sh
source "$root/tests/fixtures/weston_display.sh"
desktop_rig_start
weston_start "$tmp"
"$@"
