#!/usr/bin/env bash
# Scrapes per second and processor time per scrape of quivera's /metrics
# beside node_exporter's own /metrics, in the same run, and the driver
# requests each scrape costs. quivera --headless --metrics serves two
# emulated adapters (korap1, korae1; the emulator logs every request);
# node_exporter runs as an ordinary process on a free port of 127.0.0.1, not
# as the system service. Each is loaded with `ab` in turn for a few rounds;
# a server's user + system time (from /proc) over its load is divided by the
# scrapes served.
#
# Builds nothing: run it on a finished (optimised) build.
#   bench/metrics_bench.sh [BUILD_DIR] [SCRAPES] [CONCURRENCY] [ROUNDS]
#   defaults: build 5000 4 3
# Installs prometheus-node-exporter and apache2-utils (ab) when missing.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
scrapes="${2:-5000}"
concurrency="${3:-4}"
rounds="${4:-3}"
bash "$root/scripts/deps.sh"
exporter="$(command -v prometheus-node-exporter || echo /usr/bin/prometheus-node-exporter)"

# shellcheck source=bench/bench_common.sh
source "$root/bench/bench_common.sh"

wait_for() { # url what
  for _ in $(seq 150); do
    curl -s -o /dev/null --max-time 2 "$1" && return 0
    sleep 0.2
  done
  echo "$2 did not answer at $1" >&2
  exit 1
}

mkdir -p "$work/dev"
log="$work/requests.log"
: >"$log"
"$emulator" --dir "$work/dev" --log "$log" korap1 korae1 >"$work/emulator.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$work/dev/korae1" ] && break; sleep 0.1; done
printf '[Preferences]\nRefreshRate=1\n[State]\nWebServerEnable=0\n' >"$work/quivera.ini"
metrics_port=$(free_port)
"$quivera" --headless --device-dir "$work/dev" --settings "$work/quivera.ini" \
  --metrics "127.0.0.1:$metrics_port" >"$work/quivera.out" 2>&1 &
quivera_pid=$!
pids+=($quivera_pid)
quivera_url="http://127.0.0.1:$metrics_port/metrics"
wait_for "$quivera_url" quivera

exporter_port=$(free_port)
"$exporter" --web.listen-address="127.0.0.1:$exporter_port" >"$work/exporter.out" 2>&1 &
exporter_pid=$!
pids+=($exporter_pid)
exporter_url="http://127.0.0.1:$exporter_port/metrics"
wait_for "$exporter_url" node_exporter

ticks_per_second=$(getconf CLK_TCK)
# One load: prints "TICKS SCRAPES_PER_SECOND FAILED DRIVER_REQUESTS".
load() { # pid url
  local before after requests_before requests_after
  requests_before=$(wc -l <"$log")
  before=$(cpu_ticks "$1")
  ab -q -n "$scrapes" -c "$concurrency" "$2" >"$work/ab.out" 2>&1 || {
    cat "$work/ab.out" >&2
    exit 1
  }
  after=$(cpu_ticks "$1")
  requests_after=$(wc -l <"$log")
  echo "$((after - before)) $(ab_summary "$work/ab.out") $((requests_after - requests_before))"
}

row='%-6s %-14s %8s %12s %10s %8s %14s\n'
# shellcheck disable=SC2059
printf "$row" round server "cpu s" "us/scrape" "scrapes/s" failed "driver/scrape"
for round in $(seq "$rounds"); do
  for server in quivera node_exporter; do
    if [ "$server" = quivera ]; then
      read -r ticks rate failed requests <<<"$(load "$quivera_pid" "$quivera_url")"
      per_scrape=$(awk -v r="$requests" -v n="$scrapes" 'BEGIN { printf "%.4f", r / n }')
    else
      read -r ticks rate failed requests <<<"$(load "$exporter_pid" "$exporter_url")"
      per_scrape=-
    fi
    # shellcheck disable=SC2059
    printf "$row" "$round" "$server" \
      "$(awk -v t="$ticks" -v h="$ticks_per_second" 'BEGIN { printf "%.2f", t / h }')" \
      "$(awk -v t="$ticks" -v h="$ticks_per_second" -v n="$scrapes" \
        'BEGIN { printf "%.1f", t / h / n * 1e6 }')" "$rate" "$failed" "$per_scrape"
  done
done
echo "scrape sizes: quivera $(curl -s "$quivera_url" | wc -c) bytes," \
  "node_exporter $(curl -s "$exporter_url" | wc -c) bytes; ab -n $scrapes -c $concurrency per round"
# The driver requests of the refresh cycle alone, for comparison.
idle_before=$(wc -l <"$log")
sleep 5
echo "idle (no scrapes): $(( ($(wc -l <"$log") - idle_before) / 5 )) driver requests/s"
