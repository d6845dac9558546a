#!/usr/bin/env bash
# Processor time per page of the hypertext server beside nginx serving the
# same bytes from a file: both serve the Home page to `ab` on 127.0.0.1, one
# after the other, for a few rounds, and each server's user + system time
# (from /proc) over the load is divided by the pages served.
#
# Builds nothing: run it on a finished (optimised) build.
#   bench/cpu_bench.sh [BUILD_DIR] [PAGES] [CONCURRENCY] [ROUNDS]
#   defaults: build 20000 8 3
# Installs nginx-light and apache2-utils from Debian when they are missing;
# nginx runs as an ordinary process on a free port, not as the system service.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
pages="${2:-20000}"
concurrency="${3:-8}"
rounds="${4:-3}"
quivera="$build/app/main/quivera"
emulator="$build/emulator/station-emulator"

for program in "$quivera" "$emulator"; do
  [ -x "$program" ] || { echo "missing $program: build first" >&2; exit 2; }
done
missing=()
command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || missing+=(nginx-light)
command -v ab >/dev/null || missing+=(apache2-utils)
command -v curl >/dev/null || missing+=(curl)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
nginx_bin="$(command -v nginx || echo /usr/sbin/nginx)"

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

free_port() {
  for _ in $(seq 50); do
    local candidate=$((20000 + RANDOM % 40000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
      echo "$candidate"
      return
    fi
  done
  echo "no free port found" >&2
  exit 1
}

wait_for() { # url output
  for _ in $(seq 150); do curl -s -o "$2" --max-time 2 "$1" && return 0; sleep 0.2; done
  return 1
}

# User + system time of a process in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

quivera_port=$(free_port)
mkdir -p "$work/dev"
"$emulator" --dir "$work/dev" korap1 >"$work/emulator.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$work/dev/korap1" ] && break; sleep 0.1; done
printf '[Preferences]\nRefreshRate=1\n[State]\nWebPortID=%s\nWebServerEnable=1\n' \
  "$quivera_port" >"$work/quivera.ini"
"$quivera" --headless --device-dir "$work/dev" --settings "$work/quivera.ini" \
  >"$work/quivera.out" 2>&1 &
quivera_pid=$!
pids+=($quivera_pid)
wait_for "http://127.0.0.1:$quivera_port/" "$work/home.html" || {
  echo "quivera did not answer on port $quivera_port:" >&2
  cat "$work/quivera.out" >&2
  exit 1
}

# nginx serves the Home page's body as a file, with its access log off (the
# hypertext server keeps none) and the Debian package's file-serving settings.
nginx_port=$(free_port)
mkdir -p "$work/nginx/www" "$work/nginx/logs"
cp "$work/home.html" "$work/nginx/www/index.html"
cat >"$work/nginx/nginx.conf" <<EOF
daemon off;
master_process off;
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  sendfile on;
  tcp_nopush on;
  types { text/html html; }
  default_type text/html;
  client_body_temp_path $work/nginx/body;
  proxy_temp_path $work/nginx/proxy;
  fastcgi_temp_path $work/nginx/fastcgi;
  uwsgi_temp_path $work/nginx/uwsgi;
  scgi_temp_path $work/nginx/scgi;
  server {
    listen 127.0.0.1:$nginx_port;
    root $work/nginx/www;
  }
}
EOF
"$nginx_bin" -p "$work/nginx" -c "$work/nginx/nginx.conf" >"$work/nginx.out" 2>&1 &
nginx_pid=$!
pids+=($nginx_pid)
wait_for "http://127.0.0.1:$nginx_port/" "$work/nginx.html" || {
  echo "nginx did not answer on port $nginx_port:" >&2
  cat "$work/nginx.out" "$work/nginx/logs/error.log" >&2
  exit 1
}

ticks_per_second=$(getconf CLK_TCK)
# One load: prints "TICKS PAGES_PER_SECOND FAILED".
load() { # pid url
  local before after
  before=$(cpu_ticks "$1")
  ab -q -n "$pages" -c "$concurrency" "$2" >"$work/ab.out" 2>&1 || {
    cat "$work/ab.out" >&2
    exit 1
  }
  after=$(cpu_ticks "$1")
  local rate failed
  rate=$(awk '/^Requests per second/ { print $4 }' "$work/ab.out")
  # Home pages differ in length from one answer to the next (times move),
  # which ab counts as "Length" failures; only the other kinds are real ones.
  failed=$(awk -F'[:,)]' '/Connect: .*Receive: .*Exceptions:/ { print $2 + $4 + $8 }' \
    "$work/ab.out")
  echo "$((after - before)) $rate ${failed:-0}"
}

row='%-6s %-8s %10s %12s %10s %8s\n'
# shellcheck disable=SC2059
printf "$row" round server "cpu s" "us/page" "pages/s" failed
total_q=0
total_n=0
for round in $(seq "$rounds"); do
  for server in quivera nginx; do
    if [ "$server" = quivera ]; then
      read -r ticks rate failed <<<"$(load "$quivera_pid" "http://127.0.0.1:$quivera_port/")"
      total_q=$((total_q + ticks))
    else
      read -r ticks rate failed <<<"$(load "$nginx_pid" "http://127.0.0.1:$nginx_port/")"
      total_n=$((total_n + ticks))
    fi
    # shellcheck disable=SC2059
    printf "$row" "$round" "$server" \
      "$(awk -v t="$ticks" -v h="$ticks_per_second" 'BEGIN { printf "%.2f", t / h }')" \
      "$(awk -v t="$ticks" -v h="$ticks_per_second" -v n="$pages" \
        'BEGIN { printf "%.1f", t / h / n * 1e6 }')" "$rate" "$failed"
  done
done
echo "Home page: $(wc -c <"$work/home.html") body bytes; ab -n $pages -c $concurrency per round"
awk -v q="$total_q" -v n="$total_n" 'BEGIN {
  if (n > 0) printf "quivera / nginx processor time: %.2f\n", q / n }'
