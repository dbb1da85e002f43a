#!/usr/bin/env bash
# End to end: the real plovex window on a virtual X display with a tray host,
# against the local SNMP agent, while pings cross interface 2.
#   desktop_xvfb_test.sh PLOVEX SNMP_AGENT_SH
# Runs only inside the test run's private network namespace, with a hive of
# its own (a temporary XDG_CONFIG_HOME pointing at 127.0.0.1). Checks, in
# screenshots: bars of both channels in the window's graph, and the live
# miniature (not the design-time icon) in the tray host's window; that a
# click on the icon hides the window and the next brings it back, and that
# it comes back when the tray host ends while it is hidden; that SIGTERM closes the window with its settings saved; and that Plovex writes
# nothing on standard error. Set
# PLOVEX_SCREENSHOT to keep the screenshot of the window.
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
plovex=${1:?usage: desktop_xvfb_test.sh PLOVEX SNMP_AGENT_SH}
agent_sh=${2:?usage: desktop_xvfb_test.sh PLOVEX SNMP_AGENT_SH}
root=$(cd "$(dirname "$0")/.." && pwd)
[[ ${PLOVEX_NETNS:-} == 1 ]] || { echo "refusing to run outside the private network namespace" >&2; exit 1; }
agent_dir=${PLOVEX_AGENT_DIR:?}

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
desktop_rig_start

xvfb_start "$tmp"
tray_host_start "$tmp"
tray_host_pid=${pids[-1]}

# The picture file is saved on every tick: the ticks can be waited for.
"$root/scripts/demo-hive" "$tmp/config" --save-gif
# The window's pictures go to its state folder, not the working directory.
mkdir -p "$tmp/work" "$tmp/state/plovex"
traffic_per_tick "$agent_sh" "$agent_dir" "$tmp/state/plovex"

(cd "$tmp/work" && XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" exec "$plovex") >"$tmp/plovex.log" 2>&1 &
pids+=($!)
plovex_pid=$!

wait_for_window "$tmp/plovex.log"
wait_for_ticks "$tmp/state/plovex" 6 45
[[ -z $(ls -A "$tmp/work") ]] || { echo "written into the working directory: $(ls -A "$tmp/work")" >&2; exit 1; }
kill -0 "$plovex_pid" || { echo "plovex ended early" >&2; cat "$tmp/plovex.log" >&2; exit 1; }

import -window "$window" "$tmp/window.png"
import -window "$tray_host" "$tmp/tray.png"
if [[ -n ${PLOVEX_SCREENSHOT:-} ]]; then cp "$tmp/window.png" "$PLOVEX_SCREENSHOT"; cp "$tmp/tray.png" "${PLOVEX_SCREENSHOT%.png}-tray.png"; fi

# Where the window's picture is on the screen (without a window manager there
# is no frame, so the client area is at the stored left and top).
geometry=$(xwininfo -id "$window")
left=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$geometry")
top=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$geometry")

/usr/bin/python3 - "$tmp" "$left" "$top" <<'PY'
import sys
from PIL import Image

tmp = sys.argv[1]
left, top = int(sys.argv[2]), int(sys.argv[3])
window = Image.open(tmp + "/window.png").convert("RGB")
w, h = window.size
px = window.load()
green = sum(px[x, y] == (0, 128, 0) for x in range(w) for y in range(h))
blue = sum(px[x, y] == (0, 0, 255) for x in range(w) for y in range(h))
print("window %dx%d: %d green, %d blue pixels" % (w, h, green, blue))
assert green >= 40, "no bars of channel 1 in the window"
assert blue >= 10, "no samples of channel 2 in the window"

assert (left, top) == (192, 105), "window at %d,%d, not where the hive puts it" % (left, top)

tray = Image.open(tmp + "/tray.png").convert("RGB")
tw, th = tray.size
tp = tray.load()
colours = [tp[x, y] for x in range(tw) for y in range(th)]
greenish = sum(g >= 90 and r <= 60 and b <= 60 for r, g, b in colours)
bluish = sum(b >= 150 and r <= 80 and g <= 80 for r, g, b in colours)
grey = sum(c == (128, 128, 128) for c in colours)
white = sum(c == (255, 255, 255) for c in colours)
print("tray %dx%d: %d greenish, %d bluish, %d grey, %d white pixels"
      % (tw, th, greenish, bluish, grey, white))
# The miniature: samples, its grey level rows, and white made transparent
# (the design-time icon has a white face and no such rows).
assert greenish + bluish >= 3, "the tray does not show the samples"
assert grey >= 8, "the tray does not show the miniature's grey rows"
assert white == 0, "white is not transparent in the tray icon"
PY

# A click on the icon hides the window once no double-click has followed;
# the next one brings it back at once.
map_state() { xwininfo -id "$window" | sed -n 's/^ *Map State: *//p'; }
click_tray() { xdotool mousemove --window "$tray_host" "$tray_x" "$tray_y" click 1; }
tray_geometry=$(xwininfo -id "$tray_host")
tray_x=$(($(sed -n 's/^ *Width: *//p' <<<"$tray_geometry") / 2))
tray_y=$(($(sed -n 's/^ *Height: *//p' <<<"$tray_geometry") / 2))
for want in IsUnMapped IsViewable; do
  click_tray
  for _ in $(seq 50); do [[ $(map_state) == "$want" ]] && break; sleep 0.1; done
  [[ $(map_state) == "$want" ]] || { echo "a click on the tray icon left the window $(map_state), not $want" >&2; exit 1; }
done
# Hidden in the tray, and the tray goes: the window comes back by itself.
click_tray
for _ in $(seq 50); do [[ $(map_state) == IsUnMapped ]] && break; sleep 0.1; done
kill "$tray_host_pid"
for _ in $(seq 50); do [[ $(map_state) == IsViewable ]] && break; sleep 0.1; done
[[ $(map_state) == IsViewable ]] || { echo "the window stayed hidden after the tray went" >&2; exit 1; }

# Ending the session closes the window the ordinary way: settings saved (the
# load marked the key 1.21, a save writes 1.2), exit status 0.
grep -q '^"VersionNum"=hex:5c,8f,c2,f5,28,5c,f3,3f' "$tmp/config/Kestrune/registry.reg" ||
  { echo "the load did not mark the key" >&2; exit 1; }
kill -TERM "$plovex_pid"
status=0
wait "$plovex_pid" || status=$?
[[ $status -eq 0 ]] || { echo "plovex ended with $status on SIGTERM" >&2; cat "$tmp/plovex.log" >&2; exit 1; }
grep -q '^"VersionNum"=hex:33,33,33,33,33,33,f3,3f' "$tmp/config/Kestrune/registry.reg" ||
  { echo "the settings were not saved on SIGTERM" >&2; exit 1; }
# Nothing on standard error (nor on standard output) from start to end.
[[ ! -s $tmp/plovex.log ]] || { echo "plovex wrote:" >&2; cat "$tmp/plovex.log" >&2; exit 1; }
echo ok
