#!/usr/bin/env bash
# End to end: the real plovex window on a virtual X display whose only tray
# is a StatusNotifierWatcher on a private session bus, against the local SNMP
# agent while pings cross interface 2.
#   desktop_status_notifier_xvfb_test.sh PLOVEX SNMP_AGENT_SH
# The checks are desktop_status_notifier_test.py's. Runs only inside the test
# run's private network namespace.
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
plovex=${1:?usage: desktop_status_notifier_xvfb_test.sh PLOVEX SNMP_AGENT_SH}
agent_sh=${2:?usage: desktop_status_notifier_xvfb_test.sh PLOVEX SNMP_AGENT_SH}
root=$(cd "$(dirname "$0")/.." && pwd)
[[ ${PLOVEX_NETNS:-} == 1 ]] || { echo "refusing to run outside the private network namespace" >&2; exit 1; }

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
desktop_rig_start
xvfb_start "$tmp"

# Started minimised, so that the first click on the icon restores it; the
# picture file is saved on every tick, so that the pings follow the ticks.
"$root/scripts/demo-hive" "$tmp/config" --save-gif
sed -i 's/^"WindowState"=dword:00000001/"WindowState"=dword:00000002/' \
  "$tmp/config/Kestrune/registry.reg"
grep -q '^"WindowState"=dword:00000002' "$tmp/config/Kestrune/registry.reg"
# The window's pictures go to its state folder, not the working directory.
mkdir -p "$tmp/work" "$tmp/state/plovex"
traffic_per_tick "$agent_sh" "${PLOVEX_AGENT_DIR:?}" "$tmp/state/plovex"

dbus-run-session -- /usr/bin/python3 "$root/shell/desktop_status_notifier_test.py" \
  "$plovex" "$tmp" "$root/tests/fixtures/status_notifier_watcher.py"
