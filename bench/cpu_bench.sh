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
# ab and curl come with the project's packages; nginx only when none is there.
extra=()
command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || extra+=(nginx-light)
bash "$root/scripts/deps.sh" "${extra[@]}"
nginx_bin="$(command -v nginx || echo /usr/sbin/nginx)"

# shellcheck source=bench/bench_common.sh
source "$root/bench/bench_common.sh"

# User + system time of a process in clock ticks.

quivera_port=$(free_port)
start_quivera "$quivera_port" "$work/home.html"

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
answered=0
for _ in $(seq 150); do
  curl -s -o /dev/null --max-time 2 "http://127.0.0.1:$nginx_port/" && { answered=1; break; }
  sleep 0.2
done
[ "$answered" = 1 ] || {
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
  echo "$((after - before)) $(ab_summary "$work/ab.out")"
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
