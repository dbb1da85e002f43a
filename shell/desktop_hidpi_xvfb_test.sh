#!/usr/bin/env bash
# The real plovex window at two device pixels per pixel (QT_SCALE_FACTOR=2)
# on a virtual X display with a tray host, against the local SNMP agent while
# pings cross interface 2.
#   desktop_hidpi_xvfb_test.sh PLOVEX SNMP_AGENT_SH
# Checks, in screenshots: the window is twice its size; every pixel of the
# picture is a 2 x 2 block of one colour (shown crisp, never smoothed) and the
# graph is there; the tray icon holds only the miniature's own colours (no
# blends); and the GIF written meanwhile is still 400 x 160. Set
# PLOVEX_SCREENSHOT to keep the screenshots.
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
plovex=${1:?usage: desktop_hidpi_xvfb_test.sh PLOVEX SNMP_AGENT_SH}
agent_sh=${2:?usage: desktop_hidpi_xvfb_test.sh PLOVEX SNMP_AGENT_SH}
root=$(cd "$(dirname "$0")/.." && pwd)
[[ ${PLOVEX_NETNS:-} == 1 ]] || { echo "refusing to run outside the private network namespace" >&2; exit 1; }
agent_dir=${PLOVEX_AGENT_DIR:?}

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
desktop_rig_start

# Room for the window at twice its size where the hive places it.
xvfb_start "$tmp" 2048x1536
tray_host_start "$tmp"

"$root/scripts/demo-hive" "$tmp/config" --save-gif
mkdir -p "$tmp/work" "$tmp/state/plovex"
traffic_per_tick "$agent_sh" "$agent_dir" "$tmp/state/plovex"

(cd "$tmp/work" && XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" QT_SCALE_FACTOR=2 \
  exec "$plovex") \
  >"$tmp/plovex.log" 2>&1 &
plovex_pid=$!
pids+=($plovex_pid)

wait_for_window "$tmp/plovex.log"
wait_for_ticks "$tmp/state/plovex" 5 45
kill -0 "$plovex_pid" || { echo "plovex ended early" >&2; cat "$tmp/plovex.log" >&2; exit 1; }

import -window "$window" "$tmp/window.png"
import -window "$tray_host" "$tmp/tray.png"
if [[ -n ${PLOVEX_SCREENSHOT:-} ]]; then
  cp "$tmp/window.png" "$PLOVEX_SCREENSHOT"
  cp "$tmp/tray.png" "${PLOVEX_SCREENSHOT%.png}-tray.png"
fi

/usr/bin/python3 - "$tmp" <<'PY'
import sys
from PIL import Image

tmp = sys.argv[1]
window = Image.open(tmp + "/window.png").convert("RGB")
print("window", window.size)
assert window.size == (2 * 414, 2 * 173), "the window is not twice its size"

# Image1 sits at (6, 6) of the client area: Panel1 at (4, 4), its bevel, (2, 2).
picture = window.crop((12, 12, 12 + 800, 12 + 320))
px = picture.load()
for y in range(0, 320, 2):
    for x in range(0, 800, 2):
        block = {px[x, y], px[x + 1, y], px[x, y + 1], px[x + 1, y + 1]}
        assert len(block) == 1, "picture pixel (%d, %d) is not one colour: %s" % (x // 2, y // 2, block)
shown = picture.resize((400, 160), Image.NEAREST)
colours = shown.getcolors(400 * 160)
green = sum(n for n, c in colours if c == (0, 128, 0))
blue = sum(n for n, c in colours if c == (0, 0, 255))
print("picture: %d colours, %d green, %d blue pixels" % (len(colours), green, blue))
assert green >= 40, "no bars of channel 1 in the picture"
assert blue >= 10, "no samples of channel 2 in the picture"

gif = Image.open(tmp + "/state/plovex/Plovex.gif")
assert gif.size == (400, 160), "the GIF is %s" % (gif.size,)

# The tray: its background, and the miniature's colours, exactly.
tray = Image.open(tmp + "/tray.png").convert("RGB")
background = tray.getpixel((0, 0))
miniature = {(128, 128, 128), (0, 128, 0), (0, 0, 255), (0, 0xA0, 0), (0x40, 0x40, 0xFF)}
counts = {c: n for n, c in tray.getcolors(tray.size[0] * tray.size[1])}
print("tray %s: background %s, colours %s" % (tray.size, background, counts))
strays = {c: n for c, n in counts.items() if c != background and c not in miniature}
assert not strays, "the tray icon has blended colours: %s" % strays
assert counts.get((128, 128, 128), 0) >= 2 * 16, "the tray does not show the miniature's grey rows"
assert counts.get((0, 128, 0), 0) + counts.get((0, 0, 255), 0) >= 4, "the tray shows no samples"
PY
echo ok
