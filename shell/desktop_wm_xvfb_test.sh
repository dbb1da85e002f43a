#!/usr/bin/env bash
# The real plovex window under a real window manager (openbox on Xvfb):
#   desktop_wm_xvfb_test.sh PLOVEX
# Checks what only a window manager decides: the window is not resizable and
# offers no maximise (WM_NORMAL_HINTS, _NET_WM_ALLOWED_ACTIONS); the bordered
# client area is 414 x 173 and 413 x 173 without; border toggles keep the
# window's outer corner; after a minimise and a restore by the window manager
# (xdotool windowactivate, as alt-Tab or a taskbar does) the next toggles
# leave it mapped; a drag on the picture moves the window through the
# window manager; nothing on standard error; with a tray host (wmdocker),
# the window can still be closed while an error box is open. Runs inside the test run's private
# network namespace (the hive points at 127.0.0.1, where no agent answers).
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
plovex=${1:?usage: desktop_wm_xvfb_test.sh PLOVEX}
root=$(cd "$(dirname "$0")/.." && pwd)
[[ ${PLOVEX_NETNS:-} == 1 ]] || { echo "refusing to run outside the private network namespace" >&2; exit 1; }

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
desktop_rig_start
export HOME=$tmp/home
mkdir -p "$HOME"
fail() { echo "FAIL: $*" >&2; cat "$tmp/plovex.log" >&2 2>/dev/null || true; exit 1; }

xvfb_start "$tmp"
window_manager_start "$tmp" || fail "openbox did not start"

start_plovex() {
  (cd "$tmp/work" && XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" exec "$plovex") >"$tmp/plovex.log" 2>&1 &
  plovex_pid=$!
  pids+=($plovex_pid)
  for _ in $(seq 100); do
    [[ -n $(client) ]] && [[ $(map_state) == IsViewable ]] && break
    sleep 0.1
  done
  [[ $(map_state) == IsViewable ]] || fail "no Plovex window"
}

# Polls COMMAND until it succeeds, at most SECONDS; the checks that follow
# then say what is off when it never did.
wait_until() {  # SECONDS COMMAND...
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 0
    sleep 0.1
  done
}

# The window: re-created by each toggle, so looked up each time (Qt keeps a
# small hidden window of the same name besides).
# Between two windows there may be none: then these print nothing.
# The window is 413 or 414 wide and 173 high; an error box, however wide
# its message makes it, is not.
is_window() {
  local size
  size=$(xwininfo -id "$1" 2>/dev/null | sed -n 's/^ *\(Width\|Height\): *//p' | tr '\n' x)
  [[ $size == 413x173x || $size == 414x173x ]]
}
client() {
  local id
  for id in $(xdotool search --name '^Plovex$' 2>/dev/null); do
    if is_window "$id"; then
      echo "$id"
      return
    fi
  done
}
info() {
  local w
  w=$(client)
  if [[ -n $w ]]; then xwininfo -id "$w" 2>/dev/null || true; fi
}
map_state() { info | sed -n 's/^ *Map State: *//p'; }
client_size() { info | sed -n 's/^ *Width: *//p;s/^ *Height: *//p' | paste -sd x; }
# The outer corner: the client's position less the frame the manager drew.
corner() {
  local g x y l t
  g=$(info)
  x=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$g")
  y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$g")
  read -r l _ t _ < <(xprop -id "$(client)" _NET_FRAME_EXTENTS 2>/dev/null | sed 's/.*= //; s/,//g') ||
    true
  echo "$((x - ${l:-0})),$((y - ${t:-0}))"
}
# Mapped, framed by the window manager, with this client size and corner.
at_rest() {  # CLIENT_SIZE CORNER
  [[ $(map_state) == IsViewable && $(client_size) == "$1" ]] &&
    xprop -id "$(client)" _NET_FRAME_EXTENTS 2>/dev/null | grep -q = && [[ $(corner) == "$2" ]]
}
iconic() { [[ $(xprop -id "$(client)" WM_STATE 2>/dev/null) == *Iconic* ]]; }
pointer_at() { [[ $(xdotool getmouselocation --shell | sed -n 's/^[XY]=//p' | paste -sd ,) == "$1,$2" ]]; }
double_click() {
  local X Y WINDOW WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$(client)")"
  xdotool mousemove $((X + 60)) $((Y + 60))
  wait_until 5 pointer_at $((X + 60)) $((Y + 60))
  xdotool click --repeat 2 --delay 80 1
}
expect() {  # what, got, want
  [[ $2 == "$3" ]] || fail "$1: $2, not $3"
  echo "$1: $2"
}

"$root/scripts/demo-hive" "$tmp/config"
mkdir -p "$tmp/work" "$tmp/state/plovex"
start_plovex
wait_until 10 at_rest 414x173 192,105
w=$(client)

# Not resizable, no maximise.
hints=$(xprop -id "$w" WM_NORMAL_HINTS)
[[ $hints == *"program specified minimum size: 414 by 173"* ]] || fail "minimum size: $hints"
[[ $hints == *"program specified maximum size: 414 by 173"* ]] || fail "maximum size: $hints"
actions=$(xprop -id "$w" _NET_WM_ALLOWED_ACTIONS)
for a in _NET_WM_ACTION_MAXIMIZE_HORZ _NET_WM_ACTION_MAXIMIZE_VERT _NET_WM_ACTION_RESIZE; do
  [[ $actions != *"$a"* ]] || fail "the window manager offers $a"
done
[[ $actions == *_NET_WM_ACTION_MINIMIZE* ]] || fail "no minimise: $actions"
echo "allowed: ${actions#*= }"

expect "client at start" "$(client_size)" 414x173
home=$(corner)
expect "corner at start" "$home" 192,105

for round in 1 2; do
  double_click
  wait_until 10 at_rest 413x173 "$home"
  expect "round $round borderless: mapped" "$(map_state)" IsViewable
  expect "round $round borderless: client" "$(client_size)" 413x173
  expect "round $round borderless: corner" "$(corner)" "$home"
  double_click
  wait_until 10 at_rest 414x173 "$home"
  expect "round $round bordered: mapped" "$(map_state)" IsViewable
  expect "round $round bordered: client" "$(client_size)" 414x173
  expect "round $round bordered: corner" "$(corner)" "$home"
  if [[ $round == 1 ]]; then
    xdotool windowminimize "$(client)"
    wait_until 10 iconic
    iconic || fail "not minimised"
    xdotool windowactivate "$(client)"
    wait_until 10 at_rest 414x173 "$home"
    expect "restored by the window manager" "$(map_state)" IsViewable
  fi
done

# A drag on the picture is the window manager's move (_NET_WM_MOVERESIZE):
# the window follows the pointer.
drag() {  # DX DY
  local X Y WINDOW WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$(client)")"
  xdotool mousemove $((X + 60)) $((Y + 60))
  wait_until 5 pointer_at $((X + 60)) $((Y + 60))
  xdotool mousedown 1
  for step in 1 2 3 4 5; do
    xdotool mousemove $((X + 60 + $1 * step / 5)) $((Y + 60 + $2 * step / 5))
    sleep 0.1
  done
  xdotool mouseup 1
}
moved_by_at_least() {  # DX DY: the corner went right and down that far
  local x y
  IFS=, read -r x y <<<"$(corner)"
  ((x - ${home%,*} >= $1 && y - ${home#*,} >= $2))
}
drag 150 100
wait_until 5 moved_by_at_least 100 60
moved_by_at_least 100 60 || fail "a drag of 150,100 left the corner at $(corner), from $home"
echo "dragged: corner $(corner)"

# Without a tray: nothing on standard error (nor standard output).
kill -TERM "$plovex_pid"
wait "$plovex_pid" || fail "plovex ended with $? on SIGTERM"
[[ ! -s $tmp/plovex.log ]] || fail "plovex wrote on its output"

# With a tray host: an error box open, and the window still closes. A tick
# period of 0 minutes makes every tick fail the same way; one box only.
tray_host_start "$tmp"
rm -rf "$tmp/config"
"$root/scripts/demo-hive" "$tmp/config" --set TickFreq=0
start_plovex
sleep 4  # a few ticks, each failing as the start's tick did
boxes=$(xdotool search --onlyvisible --name '^Plovex$' 2>/dev/null | while read -r id; do
  if ! is_window "$id"; then echo "$id"; fi; done | wc -l)
expect "error boxes open after a few failing ticks" "$boxes" 1
wmctrl -i -c "$(client)"  # the close button, through the window manager
for _ in $(seq 50); do kill -0 "$plovex_pid" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$plovex_pid" 2>/dev/null || fail "the window did not close while the box was open"
status=0
wait "$plovex_pid" || status=$?
expect "exit status" "$status" 0
echo ok
