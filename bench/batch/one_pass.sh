#!/usr/bin/env bash
# One pass of tracktool batch writing the event files, the visit tables and the heatmap of a track
# of a million records, next to one plain read of the same file (cat into /dev/null) in the same
# run, with the page cache hot for both; the shortest of several runs each, and their ratio.
#   bench/batch/one_pass.sh [RECORDS] [RUNS]     (TRACKTOOL=path to use another build's tool)
source "$(dirname "$0")/common.sh"
records=${1:-1000000}
runs=${2:-5}

make_tracks 1 "$records"
make_layout
track="$scratch/study/track0.qtf"
cat "$track" >/dev/null # into the page cache
read_file() { cat "$track" >/dev/null; }
one_pass() {
  "$tool" batch "$track" --layout "$scratch/arena.json" --out "$scratch/out" --outputs events,visits,heatmap \
    --jobs 1 --force >/dev/null
}
read_s=$(shortest "$runs" read_file)
pass_s=$(shortest "$runs" one_pass)
echo "track: $records records, $(du -h "$track" | cut -f1); load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "cat FILE > /dev/null:                   $read_s s"
echo "batch --outputs events,visits,heatmap:  $pass_s s"
echo "ratio:                                  $(ratio "$pass_s" "$read_s")"
