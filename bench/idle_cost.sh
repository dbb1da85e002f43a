#!/usr/bin/env bash
# What Plovex costs while it sits in the tray, against the floor of any Qt
# graph (idle_floor: a 400 x 160 picture scrolled and repainted once a second
# and a tray icon changed each second), both running side by side in one run
# on the same virtual X display and tray host.
#
#   idle_cost.sh PLOVEX IDLE_FLOOR [--seconds N] [--warmup N] [--sample N]
#                [--tray-soak TRAY_SOAK] [--set NAME=TEXT ...] [--enforce]
#
# Plovex runs at Refresh 1 against the local SNMP agent (127.0.0.1, inside a
# private network namespace: the script enters one itself, or uses the test
# run's agent when PLOVEX_AGENT_DIR is set), with "Save to GIF every" on and
# traffic of a varying size crossing interface 2 each second; each --set
# changes one text setting of its hive (demo-hive's --set: for instance
# Txt4Format=String reads the WAN address overlay without its walk).
# After --warmup seconds (default 30) both are measured for --seconds
# (default 120):
#   CPU        time on a CPU, all threads, from /proc/PID/task/*/schedstat
#              (nanoseconds; /proc/PID/stat counts only in 10 ms steps)
#   wake-ups   times a thread was put on a CPU, all threads, per second (the
#              second field of the same files: each wake-up is one)
#   resident   VmRSS at the end, from /proc/PID/status, and its growth over
#              the measured span (sampled every --sample seconds, default 60)
# and printed as floor, Plovex, ratio, goal and pass or miss. With
# --tray-soak, bench/tray_soak.sh's figures for the same build follow.
# Exits 0 whatever the figures, unless --enforce is given (then 1 on a miss).
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
usage="usage: idle_cost.sh PLOVEX IDLE_FLOOR [--seconds N] [--warmup N] [--sample N] [--tray-soak TRAY_SOAK] [--set NAME=TEXT ...] [--enforce]"
plovex=$(realpath "${1:?$usage}")
floor=$(realpath "${2:?$usage}")
shift 2
seconds=120 warmup=30 sample=60 soak="" enforce=0 sets=()
while (($#)); do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --warmup) warmup=$2; shift 2 ;;
    --sample) sample=$2; shift 2 ;;
    --tray-soak) soak=$(realpath "$2"); shift 2 ;;
    --set) sets+=(--set "$2"); shift 2 ;;
    --enforce) enforce=1; shift ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
root=$(cd "$(dirname "$0")/.." && pwd)

# Nothing of this may reach a real network: run in a namespace of our own.
if [[ ${PLOVEX_NETNS:-} != 1 ]]; then
  if [[ $(id -u) -eq 0 ]]; then ns=(unshare --net); else ns=(unshare -rn); fi
  args=("$plovex" "$floor" --seconds "$seconds" --warmup "$warmup" --sample "$sample")
  [[ -n $soak ]] && args+=(--tray-soak "$soak")
  ((enforce)) && args+=(--enforce)
  args+=("${sets[@]}")
  exec "${ns[@]}" env PLOVEX_NETNS=1 PLOVEX_IDLE_COST_OWN_NS=1 "$0" "${args[@]}"
fi
if [[ ${PLOVEX_IDLE_COST_OWN_NS:-} == 1 ]]; then
  ip link set lo up
  [[ $(ip -o link show | wc -l) -eq 1 ]] || { echo "the network namespace is not private" >&2; exit 1; }
fi

# shellcheck source=../tests/fixtures/xvfb_display.sh
source "$root/tests/fixtures/xvfb_display.sh"
desktop_rig_start
agent_sh=$root/tests/fixtures/snmp_agent.sh
agent_dir=${PLOVEX_AGENT_DIR:-}
if [[ -z $agent_dir ]]; then
  agent_dir=$tmp/agent
  "$agent_sh" start "$agent_dir" >/dev/null
  trap '"$agent_sh" stop "$agent_dir" >/dev/null 2>&1 || true; desktop_rig_cleanup' EXIT
fi

xvfb_start "$tmp"
tray_host_start "$tmp"
# The program's default hive is next to the program in the build tree.
export PLOVEX_DEFAULT_HIVE=${PLOVEX_DEFAULT_HIVE:-$(dirname "$plovex")/../tests/fixtures/plovex_default_hive}
"$root/scripts/demo-hive" "$tmp/config" --save-gif "${sets[@]}"
mkdir -p "$tmp/work" "$tmp/state"

# Traffic of a size that changes every second, as on a real line.
(
  while true; do
    "$agent_sh" traffic "$agent_dir" $((RANDOM % 30 + 1)) 2>/dev/null || true
    sleep 0.5
  done
) &
pids+=($!)

unset QT_QPA_PLATFORM
(cd "$tmp/work" && XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" exec "$plovex") \
  >"$tmp/plovex.log" 2>&1 &
pids+=($!)
plovex_pid=$!
"$floor" >"$tmp/floor.log" 2>&1 &
pids+=($!)
floor_pid=$!
echo "Plovex pid $plovex_pid, floor pid $floor_pid"

# CPU nanoseconds and wake-ups of every thread of a process.
# Summed in floating point: mawk's %d stops at 2^31, which an hour's
# nanoseconds pass.
cpu_and_wakeups() {
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ns += $1; n += $3} END {printf "%.0f %.0f\n", ns, n}'
}
# Per thread: name, CPU nanoseconds and wake-ups, for where they go.
threads() {
  local t
  for t in /proc/"$1"/task/*; do
    printf '%s %s\n' "$(tr ' ' _ <"$t/comm")" "$(cat "$t/schedstat")"
  done 2>/dev/null | sort
}
resident_kb() { awk '/^VmRSS:/ {print $2}' /proc/"$1"/status; }
alive() {
  local pid
  for pid in "$plovex_pid" "$floor_pid"; do
    kill -0 "$pid" 2>/dev/null || {
      echo "a program ended early; its log:" >&2
      cat "$tmp/plovex.log" "$tmp/floor.log" >&2
      exit 1
    }
  done
}

sleep "$warmup"
alive
read -r p_ns0 p_w0 < <(cpu_and_wakeups "$plovex_pid")
read -r f_ns0 f_w0 < <(cpu_and_wakeups "$floor_pid")
threads "$plovex_pid" >"$tmp/threads0"
threads "$floor_pid" >"$tmp/floor_threads0"
p_rss0=$(resident_kb "$plovex_pid") f_rss0=$(resident_kb "$floor_pid")
p_max=$p_rss0 f_max=$f_rss0
start=$SECONDS
while ((SECONDS - start < seconds)); do
  sleep $((seconds - (SECONDS - start) < sample ? seconds - (SECONDS - start) : sample))
  alive
  p=$(resident_kb "$plovex_pid") f=$(resident_kb "$floor_pid")
  ((p > p_max)) && p_max=$p
  ((f > f_max)) && f_max=$f
  if ((seconds >= 600)); then echo "  $((SECONDS - start)) s: resident Plovex $p kB, floor $f kB"; fi
done
elapsed=$((SECONDS - start))
read -r p_ns1 p_w1 < <(cpu_and_wakeups "$plovex_pid")
read -r f_ns1 f_w1 < <(cpu_and_wakeups "$floor_pid")
threads "$plovex_pid" >"$tmp/threads1"
threads "$floor_pid" >"$tmp/floor_threads1"
p_rss1=$(resident_kb "$plovex_pid") f_rss1=$(resident_kb "$floor_pid")
gifs=$(find "$tmp/state" -name Plovex.gif | wc -l)
[[ $gifs -ge 1 ]] || { echo "Plovex wrote no picture: is it polling?" >&2; cat "$tmp/plovex.log" >&2; exit 1; }

by_thread() {
  echo "$1 by thread (CPU % of a core, wake-ups a second):"
  join -a 2 "$2" "$3" | awk -v s="$elapsed" '
    NF == 7 { printf "  %-16s %8.3f%% %8.2f\n", $1, ($5 - $2) / s / 1e7, ($7 - $4) / s }
    NF == 4 { printf "  %-16s %8.3f%% %8.2f (new)\n", $1, $2 / s / 1e7, $4 / s }'
}
by_thread floor "$tmp/floor_threads0" "$tmp/floor_threads1"
by_thread Plovex "$tmp/threads0" "$tmp/threads1"
status=0
awk -v s="$elapsed" -v pc=$((p_ns1 - p_ns0)) -v fc=$((f_ns1 - f_ns0)) \
  -v pw=$((p_w1 - p_w0)) -v fw=$((f_w1 - f_w0)) -v pr="$p_rss1" -v fr="$f_rss1" \
  -v pg=$((p_max - p_rss0)) -v fg=$((f_max - f_rss0)) -v warm="$warmup" -v enforce="$enforce" \
  -v changed="${sets[*]:+; ${sets[*]}}" '
  function verdict(ok) { if (!ok) miss = 1; return ok ? "pass" : "MISS" }
  BEGIN {
    printf "idle cost over %d s after %d s of warm-up (Refresh 1, GIF saved, tray host, traffic%s)\n", s, warm, changed
    printf "%-24s %12s %12s %8s %10s\n", "", "floor", "Plovex", "ratio", "goal"
    pcpu = pc / s / 1e7; fcpu = fc / s / 1e7
    printf "%-24s %11.3f%% %11.3f%% %8.2f %10s  %s\n", "CPU (% of a core)", fcpu, pcpu, pcpu / fcpu, "<= 1.30", verdict(pcpu <= 1.3 * fcpu)
    printf "%-24s %9d kB %9d kB %8.2f %10s  %s\n", "resident set", fr, pr, pr / fr, "<= 1.30", verdict(pr <= 1.3 * fr)
    printf "%-24s %12.2f %12.2f %8.2f %10s  %s\n", "wake-ups a second", fw / s, pw / s, pw / fw, "floor + 2", verdict(pw / s <= fw / s + 2)
    printf "%-24s %+9d kB %+9d kB\n", "resident growth", fg, pg
    printf "%-24s %11.1f us\n", "Plovex CPU a tick", pc / s / 1e3
    exit (enforce && miss) ? 1 : 0
  }' || status=$?

if [[ -n $soak ]]; then
  echo "tray soak (same build):"
  "$root/bench/tray_soak.sh" "$soak" --warmup 600 --ticks 2000 | sed 's/^/  /' || true
fi
exit $status
