#!/usr/bin/env bash
# How near one read of the track the outputs that recompute every record from its targets come: a
# track of a million records read plainly (cat into /dev/null), its tracking quality report
# (tracktool quality), and one pass of tracktool batch with the default outputs
# (events,visits,heatmap,quality) and without quality, all with the page cache hot. The commands
# take turns, round after round, so that a busy spell of a shared machine does not fall on one of
# them alone; each keeps its shortest time, and the ratios are to the plain read.
#   bench/batch/read_limit.sh [RECORDS] [ROUNDS]
# TRACKTOOL=path times another build's tool; BEFORE=path times a second tool (an earlier build) in
# the same rounds, for figures before and after a change.
source "$(dirname "$0")/common.sh"
records=${1:-1000000}
rounds=${2:-5}
before=${BEFORE:-}
[ -z "$before" ] || [ -x "$before" ] || { echo "no $before to time" >&2; exit 1; }

make_tracks 1 "$records"
make_layout
track="$scratch/study/track0.qtf"
cat "$track" >/dev/null # into the page cache

read_file() { cat "$track" >/dev/null; }
quality() { "$1" quality "$track" >/dev/null; }
batch() {
  "$1" batch "$track" --layout "$scratch/arena.json" --out "$scratch/out" --outputs "$2" --jobs 1 --force >/dev/null
}

# seconds COMMAND...: the wall time of one run.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

declare -A best
keep() { # keep NAME SECONDS
  if [ -z "${best[$1]:-}" ] || awk -v t="$2" -v b="${best[$1]}" 'BEGIN { exit !(t < b) }'; then best[$1]=$2; fi
}
tools=("$tool")
[ -z "$before" ] || tools+=("$before")
for ((r = 0; r < rounds; ++r)); do
  keep read "$(seconds read_file)"
  for t in "${tools[@]}"; do
    keep "quality $t" "$(seconds quality "$t")"
    keep "default $t" "$(seconds batch "$t" events,visits,heatmap,quality)"
    keep "without $t" "$(seconds batch "$t" events,visits,heatmap)"
  done
done

echo "track: $records records, $(du -h "$track" | cut -f1); $rounds rounds; load: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-58s %8.3f s\n' "cat FILE > /dev/null" "${best[read]}"
for t in "${tools[@]}"; do
  echo "$t:"
  for what in "quality:tracktool quality FILE" "default:batch --outputs events,visits,heatmap,quality" \
    "without:batch --outputs events,visits,heatmap"; do
    key=${what%%:*}
    s=${best[$key $t]}
    printf '  %-56s %8.3f s  %5.2fx cat\n' "${what#*:}" "$s" "$(ratio "$s" "${best[read]}")"
  done
done
