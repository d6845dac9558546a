# What the benchmarks share, sourced by them: the programs of a finished
# build, a scratch folder whose processes are stopped at exit, a free port,
# and quivera --headless serving one emulated PCI adapter.
#   needs: build (the build folder)
#   sets:  quivera, emulator, work, pids, log (the emulator's request log)

quivera="$build/app/main/quivera"
emulator="$build/emulator/station-emulator"
for program in "$quivera" "$emulator"; do
  [ -x "$program" ] || { echo "missing $program: build first" >&2; exit 2; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Prints a port of 127.0.0.1 nothing answers on.
free_port() {
  local candidate
  for _ in $(seq 50); do
    candidate=$((20000 + RANDOM % 40000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
      echo "$candidate"
      return
    fi
  done
  echo "no free port found" >&2
  exit 1
}

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
