#!/usr/bin/env bash
# Runs tray_soak on a virtual X display with a tray host, as the desktop
# tests start them, and passes its output and exit status on.
#   tray_soak.sh TRAY_SOAK [tray_soak arguments...]
# Set PLOVEX_SOAK_NO_TRAY=1 to run it on the same display without a tray host.
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
soak=${1:?usage: tray_soak.sh TRAY_SOAK [arguments...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
[[ ${PLOVEX_NETNS:-} == 1 ]] || { echo "refusing to run outside the private network namespace" >&2; exit 1; }

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
desktop_rig_start

xvfb_start "$tmp"
if [[ ${PLOVEX_SOAK_NO_TRAY:-} != 1 ]]; then
  tray_host_start "$tmp"
  set -- --require-tray "$@"
fi
unset QT_QPA_PLATFORM
QT_QPA_PLATFORM=xcb "$soak" "$@"
