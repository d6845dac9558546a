# Shared by the benchmark scripts (sourced, after 'build' is set): the two
# programs of the build, a scratch folder 'work', and 'pids' of the processes
# started, all stopped and removed when the script ends.
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
