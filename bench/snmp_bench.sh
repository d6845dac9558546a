#!/usr/bin/env bash
# Measures the FDDI MIB served over AgentX: values per second of an
# snmpbulkwalk of the whole fddimib subtree, and the driver requests each walk
# costs, beside the same walk of the master agent's own in-process interface
# table (IF-MIB ifTable), in the same run, against the same snmpd.
#
# Starts its own snmpd (an ordinary process on a scratch configuration, a
# free UDP port), station-emulator with two stations and
# quivera --headless --agentx. Builds nothing: run it on a finished build.
#   bench/snmp_bench.sh [BUILD_DIR] [SECONDS_PER_TABLE] [MAX_REPETITIONS]
#   defaults: build 10 10
# Needs snmpd and snmpbulkwalk (Debian: snmpd, snmp).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
seconds="${2:-10}"
repetitions="${3:-10}"
snmpd="$(command -v snmpd || echo /usr/sbin/snmpd)"

# shellcheck source=bench/bench_common.sh
source "$root/bench/bench_common.sh"
[ -x "$snmpd" ] || { echo "missing snmpd (scripts/deps.sh installs it)" >&2; exit 2; }
command -v snmpbulkwalk >/dev/null || { echo "missing snmpbulkwalk (package snmp)" >&2; exit 2; }

# The library's files stay here: numeric OIDs only, no state written.
export SNMP_PERSISTENT_DIR="$work/persist" SNMPCONFPATH="$work" MIBDIRS="$work/no-mibs" MIBS=""

port=$(python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf 'agentAddress udp:127.0.0.1:%s\nmaster agentx\nagentXSocket %s\nrocommunity public 127.0.0.1\n' \
  "$port" "$work/agentx" >"$work/snmpd.conf"
"$snmpd" -f -Lf "$work/snmpd.log" -C -c "$work/snmpd.conf" -p "$work/snmpd.pid" &
pids+=($!)
for _ in $(seq 100); do [ -S "$work/agentx" ] && break; sleep 0.1; done

mkdir -p "$work/dev"
log="$work/requests.log"
: >"$log"
"$emulator" --dir "$work/dev" --log "$log" korap1 korap2 >"$work/emulator.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$work/dev/korap2" ] && break; sleep 0.1; done

printf '[State]\nWebServerEnable=0\n' >"$work/quivera.ini"
"$quivera" --headless --device-dir "$work/dev" --settings "$work/quivera.ini" \
  --agentx="$work/agentx" >"$work/quivera.out" 2>&1 &
pids+=($!)

agent="127.0.0.1:$port"
fddimib=.1.3.6.1.2.1.10.15.73
iftable=.1.3.6.1.2.1.2.2
walk() { snmpbulkwalk -v2c -c public -On -Cr"$repetitions" -t 5 "$agent" "$1"; }
for _ in $(seq 150); do [ "$(walk $fddimib 2>/dev/null | wc -l)" -gt 10 ] && break; sleep 0.2; done
[ "$(walk $fddimib | wc -l)" -gt 10 ] || { echo "fddimib not served:" >&2; cat "$work/quivera.out" >&2; exit 1; }

# Walks 'oid' again and again for 'seconds'; prints walks, values, seconds
# and the driver requests logged meanwhile.
measure() { # oid
  local first_line walks=0 values=0 start now
  first_line=$(($(wc -l <"$log") + 1))
  start=$(date +%s.%N)
  while :; do
    values=$((values + $(walk "$1" | wc -l)))
    walks=$((walks + 1))
    now=$(date +%s.%N)
    awk -v a="$start" -v b="$now" -v s="$seconds" 'BEGIN { exit !(b - a >= s) }' && break
  done
  echo "$walks $values $(awk -v a="$start" -v b="$now" 'BEGIN { printf "%.2f", b - a }')" \
       "$(tail -n "+$first_line" "$log" | wc -l)"
}

read -r if_walks if_values if_secs _ < <(measure $iftable)
read -r fd_walks fd_values fd_secs fd_requests < <(measure $fddimib)

awk -v fw="$fd_walks" -v fv="$fd_values" -v fs="$fd_secs" -v fr="$fd_requests" \
    -v iw="$if_walks" -v iv="$if_values" -v is="$if_secs" -v reps="$repetitions" '
  BEGIN {
    printf "snmpbulkwalk, max-repetitions %d, about %s s per table\n\n", reps, fs
    printf "| table | values per walk | walks | values/s | driver requests per walk |\n"
    printf "|---|--:|--:|--:|--:|\n"
    printf "| fddimib (AgentX sub-agent, 2 stations) | %d | %d | %.0f | %.2f |\n", fv / fw, fw, fv / fs, fr / fw
    printf "| IF-MIB ifTable (in snmpd) | %d | %d | %.0f | - |\n", iv / iw, iw, iv / is
    printf "\nfddimib values/s = %.2f x ifTable values/s; %.2f driver requests per second\n",
           (fv / fs) / (iv / is), fr / fs
  }'
