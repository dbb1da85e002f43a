#!/usr/bin/env bash
# End to end: the real plovex window as a native Wayland client of weston
# (headless), against the local SNMP agent while pings cross interface 2.
#   desktop_wayland_test.sh PLOVEX SNMP_AGENT_SH [--status-notifier]
# Checks: the window is mapped and shows the bars of both channels (in the
# compositor's screenshot); nothing on standard error, from the start to the
# end; SIGTERM closes it with its settings saved and no negative place among
# them. With --status-notifier a StatusNotifierWatcher runs on a private
# session bus and the tray item must register; without, there is no tray at
# all. Runs only inside the test run's private network namespace.
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
plovex=${1:?usage: desktop_wayland_test.sh PLOVEX SNMP_AGENT_SH [--status-notifier]}
agent_sh=${2:?usage: desktop_wayland_test.sh PLOVEX SNMP_AGENT_SH [--status-notifier]}
tray=${3:-}
root=$(cd "$(dirname "$0")/.." && pwd)
[[ ${PLOVEX_NETNS:-} == 1 ]] || { echo "refusing to run outside the private network namespace" >&2; exit 1; }

if [[ $tray == --status-notifier && -z ${DBUS_SESSION_BUS_ADDRESS:-} ]]; then
  exec dbus-run-session -- "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
# shellcheck source=../tests/fixtures/weston_display.sh
source "$root/tests/fixtures/weston_display.sh"
desktop_rig_start
fail() { echo "FAIL: $*" >&2; cat "$tmp/plovex.err" "$tmp/watcher.log" >&2 2>/dev/null || true; exit 1; }

weston_start "$tmp"
if [[ $tray == --status-notifier ]]; then
  /usr/bin/python3 "$root/tests/fixtures/status_notifier_watcher.py" >"$tmp/watcher.log" &
  pids+=($!)
  for _ in $(seq 100); do grep -q ready "$tmp/watcher.log" && break; sleep 0.05; done
fi

"$root/scripts/demo-hive" "$tmp/config" --save-gif
# The window's pictures go to its state folder, not the working directory.
mkdir -p "$tmp/work" "$tmp/state/plovex"
traffic_per_tick "$agent_sh" "${PLOVEX_AGENT_DIR:?}" "$tmp/state/plovex"
(cd "$tmp/work" && XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" exec "$plovex") \
  >"$tmp/plovex.out" 2>"$tmp/plovex.err" &
pids+=($!)
plovex_pid=$!
wait_for_ticks "$tmp/state/plovex" 6 45
kill -0 "$plovex_pid" || fail "plovex ended early"
if [[ $tray == --status-notifier ]]; then
  grep -q ' registered ' "$tmp/watcher.log" || fail "the tray item did not register"
fi

weston_screenshot "$tmp/screen.png"
cp "$tmp/screen.png" "${PLOVEX_SCREENSHOT:-/dev/null}"
/usr/bin/python3 - "$tmp/screen.png" <<'PY' || fail "the window does not show the graph"
import sys
from PIL import Image

screen = Image.open(sys.argv[1]).convert("RGB")
colours = screen.getdata()
green = sum(c == (0, 128, 0) for c in colours)
blue = sum(c == (0, 0, 255) for c in colours)
print("screen: %d green, %d blue pixels" % (green, blue))
assert green >= 40 and blue >= 10
PY

kill -TERM "$plovex_pid"
status=0
wait "$plovex_pid" || status=$?
[[ $status -eq 0 ]] || fail "plovex ended with $status on SIGTERM"
hive=$tmp/config/Kestrune/registry.reg
grep -q '^"VersionNum"=hex:33,33,33,33,33,33,f3,3f' "$hive" || fail "the settings were not saved"
for name in WindowTop WindowLeft; do
  grep -q "^\"$name\"=dword:0000" "$hive" || fail "a negative $name was saved: $(grep "\"$name\"" "$hive")"
done
[[ ! -s $tmp/plovex.err ]] || fail "plovex wrote on standard error"
echo ok
