#!/usr/bin/env bash
# The peak memory (maximum resident set size, from /usr/bin/time -v) of tracktool batch over 8
# tracks of a million records each with --jobs 2 and the default outputs, next to that of one
# track: the batch's memory does not grow with the tracks' sizes or number.
#   bench/batch/memory.sh [RECORDS] [JOBS]     (TRACKTOOL=path to use another build's tool)
source "$(dirname "$0")/common.sh"
records=${1:-1000000}
jobs=${2:-2}
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 1; }

make_tracks 8 "$records"
make_layout
peak_kib() {
  /usr/bin/time -v "$tool" batch "$@" --layout "$scratch/arena.json" --out "$scratch/out-$RANDOM" --force \
    2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'
}
one=$(peak_kib "$scratch/study/track0.qtf" --jobs 1)
all=$(peak_kib "$scratch/study" --jobs "$jobs")
echo "tracks of $records records ($(du -h "$scratch/study/track0.qtf" | cut -f1) each)"
echo "1 track, --jobs 1:   $((one / 1024)) MiB peak"
echo "8 tracks, --jobs $jobs:  $((all / 1024)) MiB peak"
