#!/usr/bin/env bash
# tracktool batch over 8 tracks with --jobs 2 next to --jobs 1, on the same tracks in the same
# run (page cache hot), the shortest of several runs each, and their ratio.
#   bench/batch/jobs.sh [RECORDS] [RUNS] [JOBS]     (TRACKTOOL=path to use another build's tool)
source "$(dirname "$0")/common.sh"
records=${1:-200000}
runs=${2:-3}
jobs=${3:-2}

make_tracks 8 "$records"
make_layout
cat "$scratch"/study/*.qtf >/dev/null # into the page cache
batch() {
  "$tool" batch "$scratch/study" --layout "$scratch/arena.json" --out "$scratch/out" --jobs "$1" --force >/dev/null
}
one_s=$(shortest "$runs" batch 1)
many_s=$(shortest "$runs" batch "$jobs")
echo "8 tracks of $records records; $(nproc) cores; load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "--jobs 1:  $one_s s"
echo "--jobs $jobs:  $many_s s"
echo "ratio:     $(ratio "$many_s" "$one_s")"
