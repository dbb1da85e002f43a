#!/usr/bin/env bash
# End to end: the real plovex window on a virtual X display tells the desktop
# when the local SNMP agent stops answering and when it answers again, through
# a notification daemon double (python3-dbusmock's notification_daemon) on a
# private session bus; a second window, without any session bus, watches the
# same agent and says nothing about notifications. A click on a notice (the
# daemon's ActionInvoked) brings the minimised window back, under openbox.
#   desktop_notify_xvfb_test.sh PLOVEX SNMP_AGENT_SH
# The agent is paused with SIGSTOP (its datagrams wait unanswered) and always
# resumed when the script ends. Runs only inside the test run's private
# network namespace.
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
plovex=${1:?usage: desktop_notify_xvfb_test.sh PLOVEX SNMP_AGENT_SH}
root=$(cd "$(dirname "$0")/.." && pwd)
[[ ${PLOVEX_NETNS:-} == 1 ]] || { echo "refusing to run outside the private network namespace" >&2; exit 1; }
agent_pid=$(cat "${PLOVEX_AGENT_DIR:?}/snmpd.pid.own")

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
desktop_rig_start
resume_agent() { kill -CONT "$agent_pid" 2>/dev/null || true; }
trap 'resume_agent; desktop_rig_cleanup' EXIT
xvfb_start "$tmp"
openbox >"$tmp/openbox.log" 2>&1 &
pids+=($!)
wm_running() { [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]]; }
for _ in $(seq 100); do wm_running && break; sleep 0.05; done
wm_running || { cat "$tmp/openbox.log" >&2; echo "openbox did not start" >&2; exit 1; }

dbus-daemon --session --nofork --print-address=3 3>"$tmp/bus.address" >"$tmp/bus.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [[ -s $tmp/bus.address ]] && break
  sleep 0.05
done
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$tmp/bus.address")
/usr/bin/python3 -m dbusmock --template notification_daemon -l "$tmp/notify.log" \
  >"$tmp/dbusmock.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications 2>/dev/null |
    grep -q 'boolean true' && break
  sleep 0.1
done

# Each window in its own folders; "Save to GIF every" on, so the ticks show.
start_window() { # NAME BUS_ADDRESS
  "$root/scripts/demo-hive" "$tmp/$1/config" --save-gif >/dev/null
  mkdir -p "$tmp/$1/state/plovex"
  (cd "$tmp/$1" && DBUS_SESSION_BUS_ADDRESS=$2 XDG_CONFIG_HOME="$tmp/$1/config" \
    XDG_STATE_HOME="$tmp/$1/state" exec "$plovex") >"$tmp/$1/out.log" 2>"$tmp/$1/err.log" &
  pids+=($!)
}
start_window notify "$DBUS_SESSION_BUS_ADDRESS"
notify_pid=${pids[-1]}
start_window nobus "unix:path=$tmp/no-bus-here"
nobus_pid=${pids[-1]}
# A witness that the short pause below costs a poll: the headless runner
# prints a line when the host falls silent and one when it answers again.
"$root/scripts/demo-hive" "$tmp/witness/config" >/dev/null
(cd "$tmp/witness" && XDG_CONFIG_HOME="$tmp/witness/config" XDG_STATE_HOME="$tmp/witness/state" \
  exec "$plovex" --headless) >"$tmp/witness/out.log" 2>"$tmp/witness/err.log" &
pids+=($!)
wait_for_ticks "$tmp/notify/state/plovex" 3 30
wait_for_ticks "$tmp/nobus/state/plovex" 3 30

notices() { grep -c ' Notify ' "$tmp/notify.log" 2>/dev/null || true; }
wait_for_notices() { # COUNT SECONDS
  local deadline=$((SECONDS + $2))
  until (($(notices) >= $1)); do
    if ((SECONDS >= deadline)); then
      echo "waited $2 s for notice $1; the daemon saw:" >&2
      cat "$tmp/notify.log" >&2
      return 1
    fi
    sleep 0.2
  done
}

# One lost reply: a poll times out (1 s) while the agent is paused; the next
# try, 5 s later, is answered. No notice.
kill -STOP "$agent_pid"
sleep 2.5
resume_agent
sleep 7
(($(notices) == 0)) || { echo "a notice after one lost reply:" >&2; cat "$tmp/notify.log" >&2; exit 1; }
[[ $(cat "$tmp/witness/err.log") == $'plovex: no answer from 127.0.0.1\nplovex: 127.0.0.1 answers again' ]] ||
  { echo "the pause cost no poll, or more than one:" >&2; cat "$tmp/witness/err.log" >&2; exit 1; }

# The agent gone: tries at once, 5 s and 15 s later; the third raises one notice.
kill -STOP "$agent_pid"
stopped=$SECONDS
wait_for_notices 1 30
silent_for=$((SECONDS - stopped))
((silent_for >= 14)) || { echo "the notice came after $silent_for s, before the third try" >&2; exit 1; }
# Back: the next try (20 s after the third) is answered; its notice replaces the first.
resume_agent
wait_for_notices 2 30
sleep 1
(($(notices) == 2)) || { echo "more than two notices:" >&2; cat "$tmp/notify.log" >&2; exit 1; }

/usr/bin/python3 - "$tmp/notify.log" <<'PY'
import re
import sys

lines = [l.rstrip("\n") for l in open(sys.argv[1]) if " Notify " in l]
for l in lines:
    print(l)
down, back = lines
# app name, replaces id, icon, summary, body, actions, hints, timeout
pattern = re.compile(r' Notify "Plovex" (\d+) "plovex" "([^"]*)" "([^"]*)" \["default", "Show Plovex"\] '
                     r'\{"desktop-entry": "plovex"\} -1$')
d, b = pattern.search(down), pattern.search(back)
assert d and b, "unexpected Notify arguments"
assert d.group(1) == "0", "the first notice replaces %s" % d.group(1)
assert b.group(1) == "1", "the answer does not replace the first notice (id 1): %s" % b.group(1)
assert d.group(2) == "127.0.0.1 does not answer", d.group(2)
assert d.group(3) == "no answer to 3 polls in a row", d.group(3)
assert b.group(2) == "127.0.0.1 answers again", b.group(2)
assert re.fullmatch(r"answered again after [0-9]+ s|answered again after 1 min( [0-9]+ s)?",
                    b.group(3)), b.group(3)
PY

# A click on the notice: the minimised window comes back.
window=$(xdotool search --all --pid "$notify_pid" --name '^Plovex$' | head -1)
wm_state() { xprop -id "$window" WM_STATE 2>/dev/null; }
until_state() { # TEXT SECONDS
  local deadline=$((SECONDS + $2))
  until [[ $(wm_state) == *"$1"* ]]; do
    ((SECONDS < deadline)) || { echo "the window is not $1: $(wm_state)" >&2; return 1; }
    sleep 0.1
  done
}
xdotool windowminimize "$window"
until_state Iconic 10
/usr/bin/python3 - <<'PY'
import dbus

daemon = dbus.SessionBus().get_object("org.freedesktop.Notifications",
                                      "/org/freedesktop/Notifications")
daemon.EmitSignal("org.freedesktop.Notifications", "ActionInvoked", "us",
                  [dbus.UInt32(1), "default"], dbus_interface="org.freedesktop.DBus.Mock")
PY
until_state Normal 10
echo "a click on the notice shows the window"

# The window without a bus went through the same silence: still ticking, and
# not a word on standard error; neither has the other.
kill -0 "$nobus_pid"
kill -0 "$notify_pid"
wait_for_ticks "$tmp/nobus/state/plovex" 2 10
for w in notify nobus; do
  if [[ -s $tmp/$w/err.log ]]; then
    echo "the $w window wrote on standard error:" >&2
    cat "$tmp/$w/err.log" >&2
    exit 1
  fi
done
echo "both windows silent on standard error"
