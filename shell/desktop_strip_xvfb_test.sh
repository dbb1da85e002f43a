#!/usr/bin/env bash
# End to end: the real plovex window on a virtual X display, asking the local
# SNMP agent with a community it does not know, so the agent stays silent.
#   desktop_strip_xvfb_test.sh PLOVEX SNMP_AGENT_SH
# Checks, in a screenshot, that the status strip lies over the bottom of the
# picture (dark band with light text) and that the picture file written at the
# same time carries none of it. Set PLOVEX_SCREENSHOT to keep the screenshot.
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
plovex=${1:?usage: desktop_strip_xvfb_test.sh PLOVEX SNMP_AGENT_SH}
root=$(cd "$(dirname "$0")/.." && pwd)
[[ ${PLOVEX_NETNS:-} == 1 ]] || { echo "refusing to run outside the private network namespace" >&2; exit 1; }

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
desktop_rig_start
xvfb_start "$tmp"

"$root/scripts/demo-hive" "$tmp/config" --save-gif --set Community=not-the-community
mkdir -p "$tmp/state/plovex"
(cd "$tmp" && XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" exec "$plovex") >"$tmp/plovex.log" 2>&1 &
pids+=($!)

wait_for_window "$tmp/plovex.log"
wait_for_ticks "$tmp/state/plovex" 2 30
import -window "$window" "$tmp/window.png"
[[ -z ${PLOVEX_SCREENSHOT:-} ]] || cp "$tmp/window.png" "$PLOVEX_SCREENSHOT"

/usr/bin/python3 - "$tmp" <<'PY'
import sys
from PIL import Image

tmp = sys.argv[1]
window = Image.open(tmp + "/window.png").convert("RGB")
px = window.load()
# The picture starts at 6,6 in the window (panel at 4,4, bevel, 2 pixels in).
strip_rows = [y for y in range(6, 166) if sum(px[x, y] == (0x30, 0x30, 0x30) for x in range(6, 406)) > 200]
assert strip_rows, "no status strip over the picture"
assert max(strip_rows) >= 160, "the strip is not at the bottom of the picture: rows %s" % strip_rows
light = sum(min(px[x, y]) > 200 for x in range(6, 406) for y in strip_rows)
assert light > 50, "the strip carries no text"
print("strip rows %d..%d, %d light pixels" % (min(strip_rows), max(strip_rows), light))

gif = Image.open(tmp + "/state/plovex/Plovex.gif").convert("RGB")
gp = gif.load()
dark = sum(gp[x, y] == (0x30, 0x30, 0x30) for x in range(gif.width) for y in range(gif.height))
assert dark == 0, "the strip is in Plovex.gif"
PY
