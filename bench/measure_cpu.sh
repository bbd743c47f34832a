#!/usr/bin/env bash
# CPU use of the real program over a fixed time, read from /proc/PID/stat, on a private Xvfb
# screen of 1920 x 1080: a 9 x 9 expansion panel measuring, a single board measuring, and no
# board at all. With a program that knows --report-first-paint it also gives the time from
# the start of the program to the first painted grid. The boards are emulated by the
# standalone board program (default 1 ms wire time), so only the tester's own CPU is counted.
#
#   bench/measure_cpu.sh [PROGRAM] [SECONDS]
#
# PROGRAM defaults to build/default/varnostellion, SECONDS to 10; the board program is looked
# for beside it (board/varnostellion-board). The program runs each case for a short settling
# time first (start-up, identification and parameter load), then for SECONDS.
set -euo pipefail

program=${1:-build/default/varnostellion}
seconds=${2:-10}
settle=${SETTLE_SECONDS:-12}  # a 9 x 9 parameter load takes about 8 s
[[ -x $program ]] || { echo "no program at $program" >&2; exit 1; }
board_program=$(dirname "$program")/board/varnostellion-board
[[ -x $board_program ]] || { echo "no board program at $board_program" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
app_pid=
board_pid=
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
  [[ -n $board_pid ]] && kill "$board_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
display=90
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X$display ]] && break; sleep 0.05; done
[[ -e /tmp/.X11-unix/X$display ]] || { echo "Xvfb did not start" >&2; exit 1; }

first_paint_option=
if "$program" --help 2>/dev/null | grep -q -- --report-first-paint; then first_paint_option=--report-first-paint; fi

ticks_per_second=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks (fields 14 and 15; the name in field 2 may hold
# blanks, so count from the closing parenthesis).
cpu_ticks() {
  local stat
  stat=$(<"/proc/$1/stat")
  stat=${stat##*) }
  read -r -a fields <<<"$stat"
  echo $((fields[11] + fields[12]))
}

now_ms() { date +%s%3N; }

# Plugs an emulated board with these options into `boards` and waits for its socket.
plug_board() {
  local boards=$1
  shift
  # Its standard input stays open (end of input would unplug it) on a pipe nobody writes to.
  local input="$boards.input"
  mkfifo "$input"
  exec 3<>"$input"
  "$board_program" --dir "$boards" "$@" <&3 >/dev/null 2>&1 &
  board_pid=$!
  exec 3>&-
  for _ in $(seq 100); do compgen -G "$boards/*.sock" >/dev/null && return; sleep 0.05; done
  echo "the board program did not plug in" >&2
  exit 1
}

# run_case NAME [BOARD OPTIONS...]; no options means no board.
run_case() {
  local name=$1
  shift
  local runtime="$work/$name-runtime" boards="$work/$name-boards"
  mkdir -m 700 "$runtime" "$boards"
  [[ $# -gt 0 ]] && plug_board "$boards" "$@"
  local started
  started=$(now_ms)
  # A private runtime directory keeps the single-instance lock and the default board
  # directory apart from any other copy of the program on this machine.
  DISPLAY=":$display" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb \
    "$program" --board-dir "$boards" $first_paint_option 2>"$work/$name.err" >/dev/null &
  app_pid=$!
  sleep "$settle"
  kill -0 "$app_pid" 2>/dev/null || { echo "$name: the program ended early" >&2; cat "$work/$name.err" >&2; exit 1; }
  local before after t0 t1
  before=$(cpu_ticks "$app_pid")
  t0=$(now_ms)
  sleep "$seconds"
  after=$(cpu_ticks "$app_pid")
  t1=$(now_ms)
  kill "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=
  if [[ -n $board_pid ]]; then
    kill "$board_pid" 2>/dev/null || true
    wait "$board_pid" 2>/dev/null || true
    board_pid=
  fi
  local cpu first="n/a (the program lacks --report-first-paint)"
  cpu=$(awk -v d=$((after - before)) -v hz="$ticks_per_second" -v ms=$((t1 - t0)) \
    'BEGIN { printf "%.1f", 100 * d / hz / (ms / 1000) }')
  if [[ -n $first_paint_option ]]; then
    local painted
    painted=$(grep -o 'first grid painted at [0-9]*' "$work/$name.err" | grep -o '[0-9]*$' || true)
    if [[ -n $painted ]]; then first="$((painted - started)) ms"; else first="not reported"; fi
  fi
  printf '%-18s cpu %5s %% of one core over %s s   first grid painted after %s\n' "$name" "$cpu" "$seconds" "$first"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
run_case expansion-9x9 --model expansion --layout 9x9
run_case single --model single
run_case no-board
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
