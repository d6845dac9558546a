# Sourced by the web benchmarks: the programs of a finished build, the
# scratch folder and free port of bench_support.sh, and quivera --headless
# serving one emulated PCI adapter.
#   needs: root (the source folder), build (the build folder)
#   sets:  quivera, emulator, work, pids; log (the emulator's request log)

quivera="$build/app/main/quivera"
emulator="$build/emulator/station-emulator"
for program in "$quivera" "$emulator"; do
  [ -x "$program" ] || { echo "missing $program: build first" >&2; exit 2; }
done

# shellcheck source=bench/bench_support.sh
source "$root/bench/bench_support.sh"

# Starts the emulator (adapter korap1, requests logged to $log) and quivera
# --headless with its web server on 'port', waits until a page comes and
# saves it to 'page_file'. Sets quivera_pid.
start_quivera() { # port page_file
  mkdir -p "$work/dev"
  log="$work/requests.log"
  : >"$log"
  "$emulator" --dir "$work/dev" --log "$log" korap1 >"$work/emulator.out" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -S "$work/dev/korap1" ] && break; sleep 0.1; done
  printf '[Preferences]\nRefreshRate=1\n[State]\nWebPortID=%s\nWebServerEnable=1\n' "$1" \
    >"$work/quivera.ini"
  "$quivera" --headless --device-dir "$work/dev" --settings "$work/quivera.ini" \
    >"$work/quivera.out" 2>&1 &
  quivera_pid=$!
  pids+=($quivera_pid)
  for _ in $(seq 150); do
    curl -s -o "$2" --max-time 2 "http://127.0.0.1:$1/" && return 0
    sleep 0.2
  done
  echo "quivera did not answer on port $1:" >&2
  cat "$work/quivera.out" >&2
  exit 1
}
