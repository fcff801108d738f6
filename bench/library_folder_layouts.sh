#!/bin/bash
# Browses and deletes in two copies of the browsing benchmark's library
# (BrowseLibrary.h) with albireo-cli, alternating: folder listings (the
# folder of 99,990 files, that of 10, a disc's root of 500 folders, a
# disc's whole tree of 100,500 entries) best of three runs each, then the
# deletion of discs 1, 2 and 3 (100,000 files each, one run per disc, best
# of three), as processor time (layout_timing.sh), and whether both gave
# the same output. The first library is the baseline. The copies lose
# those three discs.
#
#   bench/library_folder_layouts.sh CLI BASELINE.db OTHER.db
set -euo pipefail
cli=$1 baseline=$2 other=$3
source "$(dirname "$0")/layout_timing.sh"

compare() { # label, then the command's arguments
  local label=$1 b o bsum osum
  shift
  b=$(ALBIREO_LIBRARY_DB=$baseline best_ms "$cli" "$@")
  bsum=$(md5sum <"$out" | cut -c1-8)
  o=$(ALBIREO_LIBRARY_DB=$other best_ms "$cli" "$@")
  osum=$(md5sum <"$out" | cut -c1-8)
  printf "%-26s %9s %9s %6.2f  %s\n" "$label" "$b" "$o" "$(ratio "$b" "$o")" \
    "$([[ $bsum == "$osum" ]] && echo "same output, $(wc -l <"$out") lines" || echo "OUTPUT DIFFERS")"
}

delete_ms() { # library: the best of deleting discs 1, 2 and 3
  local best=999999 t
  for disc in 1 2 3; do
    t=$(ALBIREO_LIBRARY_DB=$1 cpu_ms "$cli" delete "#$disc" --yes)
    ((t < best)) && best=$t
  done
  echo "$best"
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-26s %9s %9s %6s\n" "" cpu/ms other ratio
compare "folder of 99,990 files" ls "#100" "Folder 100-1"
compare "folder of 10 files" ls "#100" "Folder 100-2"
compare "root of 500 folders" ls "#50"
compare "tree of 100,500 entries" ls "#50" -R
b=$(delete_ms "$baseline")
o=$(delete_ms "$other")
printf "%-26s %9s %9s %6.2f  %s / %s discs left\n" "delete a disc" "$b" "$o" "$(ratio "$b" "$o")" \
  "$(ALBIREO_LIBRARY_DB=$baseline "$cli" discs | wc -l)" "$(ALBIREO_LIBRARY_DB=$other "$cli" discs | wc -l)"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
