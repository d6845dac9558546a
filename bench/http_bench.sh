#!/usr/bin/env bash
# Measures the hypertext server: pages per second and the median and 99th
# percentile answer time of the Home, MAC and Flash pages on 127.0.0.1, and
# how many driver requests the program sends per second while the load runs
# (each reply block should be asked for at most once per refresh cycle,
# however many pages are served).
#
# Builds nothing: run it on a finished build.
#   bench/http_bench.sh [BUILD_DIR] [SECONDS_PER_PAGE] [CONCURRENCY]
#   defaults: build 10 1
# Needs ab (apache2-utils) and curl.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
seconds="${2:-10}"
concurrency="${3:-1}"
for tool in ab curl awk; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/deps.sh installs it)" >&2; exit 2; }
done

# shellcheck source=bench/bench_common.sh
source "$root/bench/bench_common.sh"
port=$(free_port)
start_quivera "$port" /dev/null
base="http://127.0.0.1:$port"

# Driver requests per second over a stretch of the log: all of them; the
# busiest cached reply block (management queries with codes 4, 5, 12, 16, 20
# and 27, fetched at most once per refresh cycle); and the requests that are
# sent on every read by design (standard queries, error-log entries).
driver_rates() { # first_line seconds
  tail -n "+$1" "$log" | awk -v secs="$2" '
    { total++ }
    $2 == "0xFF000001" && $3 ~ /^(4|5|12|16|20|27)$/ { block[$0]++; next }
    { uncached++ }
    END {
      top = 0
      for (k in block) if (block[k] > top) top = block[k]
      printf "%.1f %.2f %.1f", total / secs, top / secs, uncached / secs
    }'
}

# The idle refresh cycle alone, for comparison.
idle_secs=5
mark=$(($(wc -l <"$log") + 1))
sleep "$idle_secs"
read -r idle_rate idle_top idle_uncached <<<"$(driver_rates "$mark" "$idle_secs")"

row='%-6s %9s %9s %7s %7s %13s %15s %14s\n'
# shellcheck disable=SC2059
printf "$row" page requests "pages/s" "p50 ms" "p99 ms" "driver req/s" "max/block/s" "uncached/s"
# shellcheck disable=SC2059
printf "$row" idle - - - - "$idle_rate" "$idle_top" "$idle_uncached"
for entry in "Home:/" "MAC:/quivera?PAGE=MAC" "Flash:/quivera?PAGE=FLASH"; do
  name="${entry%%:*}"
  path="${entry#*:}"
  mark=$(($(wc -l <"$log") + 1))
  start=$(date +%s.%N)
  ab -q -t "$seconds" -n 10000000 -c "$concurrency" "$base$path" >"$work/ab.out" 2>&1 || {
    cat "$work/ab.out" >&2
    exit 1
  }
  secs=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.3f", e - s }')
  requests=$(awk '/^Complete requests/ { print $3 }' "$work/ab.out")
  rate=$(awk '/^Requests per second/ { print $4 }' "$work/ab.out")
  p50=$(awk '$1 == "50%" { print $2 }' "$work/ab.out")
  p99=$(awk '$1 == "99%" { print $2 }' "$work/ab.out")
  # Pages differ in length from one answer to the next (counters move), which
  # ab counts as "Length" failures; only the other kinds are real ones.
  failed=$(awk -F'[:,)]' '/Connect: .*Receive: .*Exceptions:/ {
    print $2 + $4 + $8 }' "$work/ab.out")
  read -r driver_rate driver_top uncached <<<"$(driver_rates "$mark" "$secs")"
  # shellcheck disable=SC2059
  printf "$row" "$name" "$requests" "$rate" "$p50" "$p99" "$driver_rate" "$driver_top" "$uncached"
  [ "${failed:-0}" = 0 ] || echo "  ($failed failed requests)" >&2
done
echo "ab -t $seconds -c $concurrency per page, one adapter (korap1) on station-emulator, RefreshRate=1"
