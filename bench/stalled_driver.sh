#!/usr/bin/env bash
# Measures what a stopped driver does to the program: station-emulator and
# quivera --headless (web server on a free port of 127.0.0.1), then the
# emulator is paused with SIGSTOP and
#   1. first page: the time of the first MAC page after the pause;
#   2. next pages: the time of each of three more MAC pages, and whether
#      they still show "Current Address" (a line left out when its read fails);
#   3. back: after SIGCONT, the time until a MAC page shows the line again;
#   4. stop: with the emulator paused again and a MAC page in flight, the
#      time from SIGTERM to the end of quivera.
# Every wait is bounded by LIMIT seconds (default 60); a step that hits it
# prints ">LIMIT".
#
# Builds nothing: run it on a finished build.
#   bench/stalled_driver.sh [BUILD_DIR] [LIMIT]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
limit="${2:-60}"
# shellcheck source=bench/bench_common.sh
source "$root/bench/bench_common.sh"
port="$(free_port)"
start_quivera "$port" /dev/null
emulator_pid="${pids[0]}"
base="http://127.0.0.1:$port"

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }
mac_page() { curl -s --max-time "$limit" "$base/?PAGE=MAC" || true; }

kill -STOP "$emulator_pid"
start=$(now); mac_page >/dev/null; echo "first page: $(since "$start") s"
for i in 1 2 3; do
  start=$(now)
  if mac_page | grep -q "Current Address"; then shown=whole; else shown="lines left out"; fi
  echo "next page $i: $(since "$start") s ($shown)"
done

kill -CONT "$emulator_pid"
start=$(now)
back=">$limit"
while awk -v a="$start" -v b="$(now)" -v l="$limit" 'BEGIN { exit !(b - a < l) }'; do
  if curl -s --max-time 2 "$base/?PAGE=MAC" | grep -q "Current Address"; then back=$(since "$start"); break; fi
  sleep 0.1
done
echo "back: $back s"

kill -STOP "$emulator_pid"
curl -s -o /dev/null --max-time "$limit" "$base/?PAGE=MAC" &
browser_pid=$!
sleep 0.5
start=$(now)
kill -TERM "$quivera_pid"
ended=">$limit"
while awk -v a="$start" -v b="$(now)" -v l="$limit" 'BEGIN { exit !(b - a < l) }'; do
  if ! kill -0 "$quivera_pid" 2>/dev/null; then ended=$(since "$start"); break; fi
  sleep 0.05
done
echo "stop: $ended s"
kill -CONT "$emulator_pid"
wait "$browser_pid" || true
