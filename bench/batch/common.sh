# What the batch benchmarks share (sourced, not run): the tool, a scratch folder removed at exit,
# generated tracks, a layout, and the shortest of several timed runs.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tool=${TRACKTOOL:-"$top/build/src/cli/tracktool"}
[ -x "$tool" ] || { echo "no $tool: build tracktool first (or set TRACKTOOL)" >&2; exit 1; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/trackplay-batch-bench-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# make_tracks COUNT RECORDS: COUNT generated tracks of RECORDS records in $scratch/study.
make_tracks() {
  mkdir -p "$scratch/study"
  for ((k = 0; k < $1; ++k)); do
    "$tool" gen "$scratch/study/track$k.qtf" --records "$2" --seed $((k + 7)) >/dev/null
  done
}

# Four regions over the arena, as a study's layout might have.
make_layout() {
  cat >"$scratch/arena.json" <<'JSON'
{"format": "trackplay-layout", "version": 1, "margin": 8, "regions": [
  {"name": "left", "rect": [0, 0, 320, 480]}, {"name": "right", "rect": [320, 0, 640, 480]},
  {"name": "centre", "rect": [200, 150, 440, 330]}, {"name": "corner", "rect": [0, 0, 120, 120]}]}
JSON
}

# shortest RUNS COMMAND...: runs the command RUNS times and prints the shortest wall time in seconds.
shortest() {
  local runs=$1 best="" start end took
  shift
  for ((r = 0; r < runs; ++r)); do
    start=$(date +%s.%N)
    "$@"
    end=$(date +%s.%N)
    took=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
    if [ -z "$best" ] || awk -v t="$took" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$took; fi
  done
  printf '%.3f\n' "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", a / b }'; }
