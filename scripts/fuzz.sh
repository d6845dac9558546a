#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, core only) in build-fuzz/ and runs each one.
#   scripts/fuzz.sh [SECONDS] [TARGET...]   each target for SECONDS (default 20)
#   FUZZ_RUNS=10000000 scripts/fuzz.sh 0 http_request   a run of that many executions
# TARGET is a name from fuzz/*_fuzzer.cpp (http_request, remote_set, ...);
# default all. New inputs go to build-fuzz/corpus/TARGET (the seeds in
# fuzz/corpus/TARGET are read, never written), crash reproducers to
# build-fuzz/artifacts/TARGET/, the output to build-fuzz/logs/TARGET.log.
# Exits non-zero when any target crashed, leaked, hung or failed a check.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh clang libclang-rt-dev

seconds="${1:-20}"
shift || true
dir=build-fuzz
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DQUIVERA_FUZZ=ON -DQUIVERA_BUILD_UI=OFF -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
cmake --build "$dir" --target fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/*_fuzzer.cpp; do
    name=$(basename "$f" _fuzzer.cpp)
    targets+=("$name")
  done
fi

# Allocation stacks and the 256 MB quarantine cost more than half the speed
# of the page targets; rerun a reproducer without these to get full reports.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0:max_malloc_fill_size=0:quarantine_size_mb=16:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# The longest input that means something to each target.
max_len() {
  case "$1" in
    http_request | remote_set) echo 512 ;;  # one receive of the server
    flash_layout) echo 1100 ;;              # a reply, or a dump of twice its size
    profile_file) echo 2048 ;;              # settings files are short
    *) echo 4096 ;;
  esac
}
dictionary() {
  case "$1" in
    http_request | remote_set) echo fuzz/dict/http.dict ;;
    *) [ -f "fuzz/dict/$1.dict" ] && echo "fuzz/dict/$1.dict" ;;
  esac
}

failed=()
for name in "${targets[@]}"; do
  program="$dir/fuzz/fuzz_$name"
  [ -x "$program" ] || { echo "no fuzz target '$name'" >&2; exit 2; }
  mkdir -p "$dir/corpus/$name" "$dir/artifacts/$name" "$dir/logs"
  args=(-max_len="$(max_len "$name")" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$dir/artifacts/$name/")
  dict=$(dictionary "$name" || true)
  [ -n "$dict" ] && args+=(-dict="$dict")
  if [ -n "${FUZZ_RUNS:-}" ]; then
    args+=(-runs="$FUZZ_RUNS")
  else
    args+=(-max_total_time="$seconds")
  fi
  log="$dir/logs/$name.log"
  status=0
  "$program" "${args[@]}" "$dir/corpus/$name" "fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 || true)
  if [ "$status" -eq 0 ]; then
    echo "fuzz $name: ok, ${execs:-?} executions, ${speed:-?}/s, $cov"
  else
    echo "fuzz $name: FAILED (status $status), see $log and $dir/artifacts/$name/"
    grep -E 'ERROR|oracle|SUMMARY|runtime error' "$log" | head -5 || true
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz targets failed: ${failed[*]}" >&2
  exit 1
fi
