#!/bin/bash
# Searches two libraries of the same names with albireo-cli, alternating:
# the first screen (--limit 50) and the count (--count) of each query, best
# of three runs each, as processor time of the whole process, and the counts
# both give (layout_timing.sh). The first library is the baseline.
#
#   bench/library_search_layouts.sh CLI BASELINE.db OTHER.db QUERY...
set -euo pipefail
cli=$1 baseline=$2 other=$3
shift 3
source "$(dirname "$0")/layout_timing.sh"
run() { ALBIREO_LIBRARY_DB=$1 best_ms "$cli" search --files "${@:2}"; }

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-14s %9s %9s %6s %9s %9s %6s  %s\n" query first/ms other ratio count/ms other ratio counts
for q in "$@"; do
  bf=$(run "$baseline" "$q" --limit 50)
  of=$(run "$other" "$q" --limit 50)
  bc=$(run "$baseline" "$q" --count)
  bcount=$(tail -1 "$out" | cut -f2)
  oc=$(run "$other" "$q" --count)
  ocount=$(tail -1 "$out" | cut -f2)
  printf "%-14s %9s %9s %6.2f %9s %9s %6.2f  %s / %s\n" "\"$q\"" "$bf" "$of" "$(ratio "$bf" "$of")" \
    "$bc" "$oc" "$(ratio "$bc" "$oc")" "$bcount" "$ocount"
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
