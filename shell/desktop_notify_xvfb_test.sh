#!/usr/bin/env bash
# End to end, under openbox on Xvfb with a notification daemon double
# (python3-dbusmock's notification_daemon) on a private session bus: the real
# window tells when the local agent stops answering and, in the same notice's
# place, when it answers again; one lost reply tells nothing; a click on the
# notice brings the minimised window back. A second window without any bus
# says nothing at all. The agent is paused with SIGSTOP and always resumed.
#   desktop_notify_xvfb_test.sh PLOVEX SNMP_AGENT_SH
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
plovex=${1:?usage: desktop_notify_xvfb_test.sh PLOVEX SNMP_AGENT_SH}
root=$(cd "$(dirname "$0")/.." && pwd)
[[ ${PLOVEX_NETNS:-} == 1 ]] || { echo "refusing to run outside the private network namespace" >&2; exit 1; }
agent_pid=$(cat "${PLOVEX_AGENT_DIR:?}/snmpd.pid.own")

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
desktop_rig_start
trap 'kill -CONT "$agent_pid"; desktop_rig_cleanup' EXIT
fail() { echo "FAIL: $*" >&2; cat "$tmp/notify.log" >&2 2>/dev/null || true; exit 1; }
wait_until() { # SECONDS COMMAND...
  local deadline=$((SECONDS + $1))
  until "${@:2}"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}
xvfb_start "$tmp"
window_manager_start "$tmp" || fail "openbox did not start"
dbus-daemon --session --nofork --print-address=3 3>"$tmp/bus" >/dev/null 2>&1 &
pids+=($!)
wait_until 10 test -s "$tmp/bus" || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$tmp/bus")
/usr/bin/python3 -m dbusmock --template notification_daemon -l "$tmp/notify.log" >/dev/null 2>&1 &
pids+=($!)
wait_until 10 test -e "$tmp/notify.log" || fail "no notification daemon"

start() { # NAME BUS [ARGUMENTS...]: a program in folders of its own
  "$root/scripts/demo-hive" "$tmp/$1/config" --save-gif >/dev/null
  mkdir -p "$tmp/$1/state/plovex"
  (cd "$tmp/$1" && DBUS_SESSION_BUS_ADDRESS=$2 XDG_CONFIG_HOME="$tmp/$1/config" \
    XDG_STATE_HOME="$tmp/$1/state" exec "$plovex" "${@:3}") >/dev/null 2>"$tmp/$1/err" &
  pids+=($!)
}
start window "$DBUS_SESSION_BUS_ADDRESS"
window_pid=$!
start nobus "unix:path=$tmp/no-bus-here"
# The headless runner's own lines witness that the short pause costs a poll.
start witness "unix:path=$tmp/no-bus-here" --headless
wait_for_ticks "$tmp/window/state/plovex" 3 30
wait_for_ticks "$tmp/nobus/state/plovex" 3 30
notices() { { grep ' Notify ' "$tmp/notify.log" || true; } | cut -d' ' -f2- | sed 's/after [0-9]* s/after N s/'; }
told() { (($(notices | wc -l) >= $1)); }

kill -STOP "$agent_pid"  # one poll times out; the try 5 s later is answered
sleep 2.5
kill -CONT "$agent_pid"
sleep 7
[[ -z $(notices) ]] || fail "a notice after one lost reply"
[[ $(<"$tmp/witness/err") == $'plovex: no answer from 127.0.0.1\nplovex: 127.0.0.1 answers again' ]] ||
  fail "the pause did not cost exactly one poll: $(<"$tmp/witness/err")"

kill -STOP "$agent_pid"  # tries at once, 5 s and 15 s later
stopped=$SECONDS
wait_until 30 told 1 || fail "no notice of the silence"
((SECONDS - stopped >= 14)) || fail "told after $((SECONDS - stopped)) s, before the third try"
kill -CONT "$agent_pid"  # the fourth try, 20 s later, is answered
wait_until 30 told 2 || fail "no notice of the answer"
sleep 1
cat "$tmp/notify.log"
diff - <(notices) <<'EOF' || fail "not the notices expected"
Notify "Plovex" 0 "plovex" "127.0.0.1 does not answer" "no answer to 3 polls in a row" ["default", "Show Plovex"] {"desktop-entry": "plovex"} -1
Notify "Plovex" 1 "plovex" "127.0.0.1 answers again" "answered again after N s" ["default", "Show Plovex"] {"desktop-entry": "plovex"} -1
EOF

window=$(xdotool search --all --pid "$window_pid" --name '^Plovex$' | head -1)
state_is() { [[ $(xprop -id "$window" WM_STATE 2>/dev/null) == *"$1"* ]]; }
xdotool windowminimize "$window"
wait_until 10 state_is Iconic || fail "not minimised"
/usr/bin/python3 -c '
import dbus
dbus.SessionBus().get_object("org.freedesktop.Notifications", "/org/freedesktop/Notifications").EmitSignal(
    "org.freedesktop.Notifications", "ActionInvoked", "us", [dbus.UInt32(1), "default"],
    dbus_interface="org.freedesktop.DBus.Mock")'
wait_until 10 state_is Normal || fail "a click on the notice does not show the window"

# The window without a bus went through the same silence: still ticking, and
# neither window wrote a word on standard error.
wait_for_ticks "$tmp/nobus/state/plovex" 2 10
for w in window nobus; do
  [[ ! -s $tmp/$w/err ]] || fail "the $w wrote on standard error: $(<"$tmp/$w/err")"
done
