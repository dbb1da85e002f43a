#!/usr/bin/env bash
# End to end: the real program with its settings folder read-only (a bind
# mount) or on a full disk (a small tmpfs), in a mount namespace of its own.
# The window (offscreen, where the load's message box waits for no one) and
# the headless runner each end at once on SIGTERM, SIGINT and SIGHUP; the
# failed closing save is reported on standard error with exit status 1, and
# the hive is byte for byte what it was.
#   signal_close_test.sh PLOVEX DEMO_HIVE
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
plovex=${1:?usage: signal_close_test.sh PLOVEX DEMO_HIVE}
demo_hive=${2:?usage: signal_close_test.sh PLOVEX DEMO_HIVE}
[[ ${PLOVEX_NETNS:-} == 1 ]] || { echo "refusing to run outside the private network namespace" >&2; exit 1; }
if [[ ${PLOVEX_PRIVATE_MOUNTS:-} != 1 ]]; then
  if ! unshare -m --propagation private true 2>/dev/null; then
    echo "no private mounts here: skipped"
    exit 0
  fi
  PLOVEX_PRIVATE_MOUNTS=1 exec unshare -m --propagation private "$0" "$@"
fi

tmp=$(mktemp -d)
trap 'umount -l "$tmp"/*/Kestrune 2>/dev/null || true; rm -rf "$tmp"' EXIT
export XDG_RUNTIME_DIR=$tmp/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$tmp/work"

# A hive pointing at 127.0.0.1 in a folder that cannot take a new file.
make_config() {  # NAME KIND
  local config=$tmp/$1
  if [[ $2 == full ]]; then
    mkdir -p "$config/Kestrune"
    mount -t tmpfs -o size=64k tmpfs "$config/Kestrune"
    "$demo_hive" "$config.seed" >/dev/null
    cp "$config.seed/Kestrune/registry.reg" "$config/Kestrune/registry.reg"
    dd if=/dev/zero of="$config/Kestrune/filler" bs=4k 2>/dev/null || true
  else
    "$demo_hive" "$config" >/dev/null
    mount --bind "$config/Kestrune" "$config/Kestrune"
    mount -o remount,bind,ro "$config/Kestrune"
  fi
  echo "$config"
}

# The program takes SIGHUP, SIGINT and SIGTERM itself once it blocks them (bits
# 0, 1 and 14 of the blocked mask); before, they would end it unsaved.
takes_signals() {  # PID
  local mask
  mask=$(sed -n 's/^SigBlk:\t*//p' "/proc/$1/status" 2>/dev/null) || true
  [[ -n $mask ]] && (((16#$mask & 0x4003) == 0x4003))
}

check_run() {  # WHAT CONFIG SIGNAL COMMAND...
  local what=$1 config=$2 signal=$3
  shift 3
  local before
  before=$(sha256sum <"$config/Kestrune/registry.reg")
  (cd "$tmp/work" && XDG_CONFIG_HOME=$config QT_QPA_PLATFORM=offscreen exec "$@") \
    >"$tmp/out.log" 2>"$tmp/err.log" &
  local pid=$! waited=0
  while ! takes_signals "$pid" && kill -0 "$pid" 2>/dev/null && ((waited < 100)); do
    sleep 0.1
    waited=$((waited + 1))
  done
  kill -0 "$pid" 2>/dev/null || { echo "$what: ended before the signal" >&2; cat "$tmp/err.log" >&2; exit 1; }
  kill -s "$signal" "$pid"
  waited=0
  while kill -0 "$pid" 2>/dev/null && ((waited < 100)); do sleep 0.1; waited=$((waited + 1)); done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    echo "$what: still running 10 s after SIG$signal" >&2
    exit 1
  fi
  local status=0
  wait "$pid" || status=$?
  [[ $status -eq 1 ]] || { echo "$what: exit status $status after SIG$signal" >&2; cat "$tmp/err.log" >&2; exit 1; }
  grep -q "Failed to set data for 'VersionNum'" "$tmp/err.log" ||
    { echo "$what: the failed save was not reported" >&2; cat "$tmp/err.log" >&2; exit 1; }
  [[ $(sha256sum <"$config/Kestrune/registry.reg") == "$before" ]] ||
    { echo "$what: the hive changed" >&2; exit 1; }
  echo "$what: ended on SIG$signal, hive unchanged"
}

n=0
for kind in readonly full; do
  for signal in TERM INT HUP; do
    n=$((n + 1))
    config=$(make_config "c$n" "$kind")
    check_run "window, $kind folder" "$config" "$signal" "$plovex"
    n=$((n + 1))
    config=$(make_config "c$n" "$kind")
    check_run "headless, $kind folder" "$config" "$signal" "$plovex" --headless
  done
done
echo ok
