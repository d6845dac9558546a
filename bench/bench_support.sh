# Shared by the bench scripts (sourced): a scratch folder whose programs are
# ended and reaped on exit, and a free port of 127.0.0.1.

work="$(mktemp -d)"
pids=()  # programs started for the run; each is resumed (if paused) and ended on exit
cleanup() {
  for pid in "${pids[@]}"; do kill -CONT "$pid" 2>/dev/null || true; kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Prints a port nothing answers on, or fails.
free_port() {
  local candidate
  for _ in $(seq 50); do
    candidate=$((20000 + RANDOM % 40000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then echo "$candidate"; return 0; fi
  done
  echo "no free port found" >&2
  return 1
}

# Processor time a program has used so far, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; } # pid

# Requests per second and real failures of an ab report, as "RATE FAILED".
# Pages whose values move differ in length from one answer to the next, which
# ab counts as "Length" failures; only the other kinds are real ones.
ab_summary() { # ab_output_file
  local rate failed
  rate=$(awk '/^Requests per second/ { print $4 }' "$1")
  failed=$(awk -F'[:,)]' '/Connect: .*Receive: .*Exceptions:/ { print $2 + $4 + $8 }' "$1")
  echo "$rate ${failed:-0}"
}
