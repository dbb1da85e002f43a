#!/usr/bin/env bash
# The History window's tests on a virtual X display of their own, in UTC.
#   history_xvfb_test.sh HISTORY_WINDOW_TESTS [gtest arguments...]
# Set PLOVEX_SCREENSHOT to keep the screenshot of the window.
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
tests=${1:?usage: history_xvfb_test.sh HISTORY_WINDOW_TESTS}
shift
root=$(cd "$(dirname "$0")/.." && pwd)

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
desktop_rig_start
xvfb_start "$tmp"
TZ=UTC LC_ALL=C QT_QPA_PLATFORM=xcb "$tests" "$@"
