#!/usr/bin/env bash
# Measures how long the window's event loop stalls while a driver is healthy,
# stopped (SIGSTOP) or slow (1.5 s per request): station-emulator with one
# PCI adapter, the windowed quivera on it under Xvfb with the MAC page open
# and "RefreshRate" 1, and a probe that asks the running window, through its
# single-instance socket, to come to the front 20 times a second. The window
# answers (closes the probe's connection) from its event loop, so each
# round trip is how long the loop could not run. Prints, per driver, the
# probes sent, the median, 99th percentile and longest round trip in ms, and
# how late the probe's own 50 ms sleeps woke at worst: a machine too busy to
# run the probe on time makes every figure of that run longer.
#
# Builds nothing: run it on a finished build. QUIVERA may name another
# quivera program to measure (an older build) on the same emulator.
#   bench/ui_latency.sh [BUILD_DIR] [SECONDS]        # defaults: build 20
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
seconds="${2:-20}"
quivera="${QUIVERA:-$build/app/main/quivera}"
emulator="$build/emulator/station-emulator"
for program in "$quivera" "$emulator" "$(command -v Xvfb)" "$(command -v xwininfo)"; do
  [ -x "$program" ] || { echo "missing $program" >&2; exit 2; }
done
# shellcheck source=bench/bench_support.sh
source "$root/bench/bench_support.sh"

# One round trip per 50 ms for 'seconds'; prints "count p50 p99 max late" in
# ms.
probe() { # socket seconds
  python3 - "$1" "$2" <<'PY'
import socket, sys, time
path, seconds = sys.argv[1], float(sys.argv[2])
trips = []
late = 0.0
end = time.monotonic() + seconds
while time.monotonic() < end:
    start = time.monotonic()
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.settimeout(60)
    try:
        s.connect(path)
        s.sendall(b"activate\n")
        while s.recv(64):
            pass
        trips.append((time.monotonic() - start) * 1000)
    except OSError:
        trips.append((time.monotonic() - start) * 1000)
    finally:
        s.close()
    slept = time.monotonic()
    time.sleep(0.05)
    late = max(late, (time.monotonic() - slept - 0.05) * 1000)
trips.sort()
pick = lambda q: trips[min(len(trips) - 1, int(q * len(trips)))]
print(f"{len(trips)} {pick(0.5):.1f} {pick(0.99):.1f} {trips[-1]:.1f} {late:.1f}")
PY
}

run() { # name [emulator options...]
  local name="$1"; shift
  local dir="$work/$name"
  mkdir -p "$dir/dev" "$dir/tmp"
  "$emulator" --dir "$dir/dev" "$@" korap1 >"$dir/emulator.out" 2>&1 &
  local emulator_pid=$!
  pids+=("$emulator_pid")
  for _ in $(seq 100); do [ -S "$dir/dev/korap1" ] && break; sleep 0.1; done

  exec 3>"$dir/display"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 >"$dir/xvfb.out" 2>&1 &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
  local display=":$(head -n1 "$dir/display")"

  printf '[Preferences]\nRefreshRate=1\n[State]\nActivePage=3\nWebServerEnable=0\n' >"$dir/quivera.ini"
  TMPDIR="$dir/tmp" DISPLAY="$display" QT_QPA_PLATFORM=xcb \
    "$quivera" --device-dir "$dir/dev" --settings "$dir/quivera.ini" >"$dir/quivera.out" 2>&1 &
  local quivera_pid=$!
  pids+=("$quivera_pid")
  # Ready when the main window is on the screen (start-up may take minutes
  # on a slow driver: each of its requests waits).
  local shown=0
  for _ in $(seq 1800); do
    if DISPLAY="$display" xwininfo -root -tree 2>/dev/null | grep -q '"QUIVERA/FDDI - Adapter 1"'; then
      shown=1; break
    fi
    kill -0 "$quivera_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ "$shown" != 1 ]; then
    echo "$name: the window did not come up" >&2; cat "$dir/quivera.out" >&2; return 1
  fi
  sleep 3
  [ "$name" = stopped ] && kill -STOP "$emulator_pid"
  printf '%-8s %s\n' "$name" "$(probe "$dir/tmp/QVFDDI-$(id -u)" "$seconds")"
  kill -CONT "$emulator_pid" 2>/dev/null || true
  kill "$quivera_pid" 2>/dev/null || true
  wait "$quivera_pid" 2>/dev/null || true
}

echo "driver   probes p50_ms p99_ms max_ms probe_late_ms"
run healthy
run stopped
run slow --delay 1500
