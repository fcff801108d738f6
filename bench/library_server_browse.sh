#!/usr/bin/env bash
# Searching a library of ten million files on a library server, against the
# same library in a file, in the same run: the first screen of hits
# (`albireo-cli search TEXT --limit 50`) and the counts (`search TEXT
# --count`), each a whole process, a few runs each; prints the ranges and
# the ratios of the best runs.
#
#   bench/library_server_browse.sh WORK [LIBRARY.db] [query...]
#
# LIBRARY.db is a library file made by library_browse_make (default
# /tmp/albireo-browse-bench/browse.db); it is copied into WORK and only the
# copy is opened. The first run starts a throwaway server
# (tools/pg-test-server.sh) and fills a library on it from the copy's rows
# (COPY, the name indexes built after the rows, as a restore would); later
# runs with the same WORK bring the halted server back with its data.
# `... WORK --remove` stops the server and deletes its data.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
work=${1:?usage: $0 WORK [LIBRARY.db] [query...] | $0 WORK --remove}
shift
server_script="$source_dir/tools/pg-test-server.sh"
if [ "${1:-}" = "--remove" ]; then
  "$server_script" stop "$work/pg"
  rm -rf "$work"
  exit 0
fi
original=/tmp/albireo-browse-bench/browse.db
if [ $# -gt 0 ] && [[ "$1" == *.db ]]; then original=$1; shift; fi
queries=("$@")
[ ${#queries[@]} -gt 0 ] || queries=(e ä 7x holiday ber)
runs=${RUNS:-3}
cli=${ALBIREO_PROGRAM_DIR:-$source_dir/build/albireo}/albireo-cli
[ -x "$cli" ] || { echo "no albireo-cli at $cli (build it, or set ALBIREO_PROGRAM_DIR)" >&2; exit 1; }

mkdir -p "$work"
library="$work/browse.db"
if [ ! -f "$work/copied" ]; then
  echo "copying $original"
  sqlite3 -readonly "$original" ".backup '$library'"
  touch "$work/copied"
fi

# A private home for the tool: its settings and registry stay in WORK.
export XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
export ALBIREO_REGISTRY_USER="$work/home/user.reg" ALBIREO_REGISTRY_MACHINE="$work/home/machine.reg"

"$server_script" start "$work/pg"
[ -f "$work/pg/address" ] || { cat "$work/pg/missing" >&2; exit 1; }
server=$(cat "$work/pg/address")
address="$server/library"

# Rows of the library file as COPY text: backslashes, tabs and line ends escaped.
# library_rows runs the query with the engine's SQL functions (sv_fold).
rows() {
  "$source_dir/build/bench/library_rows" "$library" "$1" | sed -e 's/\\/\\\\/g'
}

fill() {
  echo "filling the library server from $library (once; reused by later runs)"
  psql -X -q -v ON_ERROR_STOP=1 "$server/postgres" -c "DROP DATABASE IF EXISTS library" -c "CREATE DATABASE library"
  ALBIREO_LIBRARY_DB="$address" "$cli" discs >/dev/null # creates the library's tables
  local start=$SECONDS
  # The indexes of the large tables are built after their rows.
  local secondary="FROM pg_indexes WHERE schemaname = current_schema() AND indexname NOT LIKE '%pkey'
    AND tablename IN ('files', 'folders', 'name_grams', 'disc_paths', 'paths') AND indexdef NOT LIKE '%UNIQUE%'"
  local indexes
  indexes=$(psql -X -At "$address" -c "SELECT indexdef || ';' $secondary")
  psql -X -At "$address" -c "SELECT format('DROP INDEX %I;', indexname) $secondary" | psql -X -q -v ON_ERROR_STOP=1 "$address"
  local columns="id, identity, name, name_fold, tag_ids, label_id, media_class, format_code, date_text, total_size,
    audio_flag, disc_class, folder_count, file_count, used_bytes, capacity_bytes"
  rows "SELECT $columns FROM discs WHERE import_id IS NULL ORDER BY id" |
    psql -X -q -v ON_ERROR_STOP=1 "$address" -c "COPY discs($columns) FROM STDIN"
  local entry="id, disc_id, path_id, label_id, name, size, type, time"
  # Any layout of the file: the folded names made by the engine's folding
  # (the server stores them), a type kept as an id read as its text, and
  # the label of a row that keeps none its disc's.
  local label="(SELECT label_id FROM discs WHERE id = e.disc_id)" type="e.type"
  [ -n "$(sqlite3 -readonly "$library" "SELECT 1 FROM pragma_table_info('files') WHERE name = 'label_id'")" ] &&
    label="e.label_id"
  [ -n "$(sqlite3 -readonly "$library" "SELECT 1 FROM sqlite_master WHERE name = 'entry_types'")" ] &&
    type="coalesce((SELECT text FROM entry_types WHERE id = e.type AND typeof(e.type) = 'integer'), e.type)"
  local kind parent table
  for kind in "folders parent_id" "files folder_id"; do
    read -r table parent <<<"$kind"
    rows "SELECT e.id, e.disc_id, e.path_id, $label, e.name, e.size, $type, e.time, e.$parent, sv_fold(e.name)
          FROM $table e ORDER BY e.id" |
      psql -X -q -v ON_ERROR_STOP=1 "$address" -c "COPY $table($entry, $parent, fold) FROM STDIN"
  done
  for table in "paths(id, text)" "disc_paths(path_id, disc_id)" "name_grams(gram, kind, disc_id, hits)"; do
    local columns=${table#*(}
    rows "SELECT ${columns%)} FROM ${table%%(*}" |
      psql -X -q -v ON_ERROR_STOP=1 "$address" -c "COPY $table FROM STDIN"
  done
  echo "  rows copied in $((SECONDS - start)) s; building the indexes"
  psql -X -q -v ON_ERROR_STOP=1 "$address" -c "SET maintenance_work_mem = '1GB'" -c "$indexes" \
    -c "SELECT setval('discs_id_seq', (SELECT max(id) FROM discs))" -c "VACUUM ANALYZE"
  # The file holds tallies of one- and two-character grams only; the server
  # also tallies three. They are counted the way a library of version 3
  # gets them on its first opening by a later program: marked as version 3,
  # then opened by the tool, which upgrades it.
  local upgrade=$SECONDS
  psql -X -q -v ON_ERROR_STOP=1 "$address" -c "UPDATE library_schema SET version = 3"
  ALBIREO_LIBRARY_DB="$address" "$cli" discs >/dev/null
  psql -X -q -v ON_ERROR_STOP=1 "$address" -c "ANALYZE name_grams"
  echo "  upgraded from version 3 (gram tallies recounted) in $((SECONDS - upgrade)) s"
  echo "  filled in $((SECONDS - start)) s: $(psql -X -At "$address" -c "SELECT pg_size_pretty(pg_database_size(current_database()))")"
  touch "$work/filled"
}
[ -f "$work/filled" ] || fill

# Best and worst of `runs` runs of the tool, in milliseconds: "best worst".
timed() {
  local best=999999999 worst=0 elapsed
  for _ in $(seq "$runs"); do
    local begin=$(date +%s%N)
    "$cli" "$@" >/dev/null
    elapsed=$((($(date +%s%N) - begin) / 1000000))
    ((elapsed < best)) && best=$elapsed
    ((elapsed > worst)) && worst=$elapsed
  done
  echo "$best $worst"
}

count_of() { ALBIREO_LIBRARY_DB="$1" "$cli" search "$2" --count | tr '\n' ' '; }

echo "Search in 10,000,000 files: library file against library server ($runs runs each; $(uptime | sed 's/.*load/load/'))"
printf '%-10s | %-27s | %-27s | %s\n' query "first screen ms file/server" "count ms file/server" "ratios (best) screen, count"
for query in "${queries[@]}"; do
  read -r fs_best fs_worst < <(ALBIREO_LIBRARY_DB="$library" timed search "$query" --limit 50)
  read -r ss_best ss_worst < <(ALBIREO_LIBRARY_DB="$address" timed search "$query" --limit 50)
  read -r fc_best fc_worst < <(ALBIREO_LIBRARY_DB="$library" timed search "$query" --count)
  read -r sc_best sc_worst < <(ALBIREO_LIBRARY_DB="$address" timed search "$query" --count)
  printf '%-10s | %5d-%-5d / %5d-%-5d | %5d-%-5d / %5d-%-5d | %.2f (goal 2), %.2f (goal 4)\n' "\"$query\"" \
    "$fs_best" "$fs_worst" "$ss_best" "$ss_worst" "$fc_best" "$fc_worst" "$sc_best" "$sc_worst" \
    "$(echo "$ss_best / $fs_best" | bc -l)" "$(echo "$sc_best / $fc_best" | bc -l)"
  file_counts=$(count_of "$library" "$query") server_counts=$(count_of "$address" "$query")
  [ "$file_counts" = "$server_counts" ] || echo "  counts differ: file $file_counts, server $server_counts"
done

# The same searches in the window (library_browse, the library already
# open): the time from the search until its first screen is painted and
# until its counts are final, best of three, for the file and the server.
browse=$source_dir/build/bench/library_browse
if [ -x "$browse" ]; then
  window_times() {
    "$browse" "$(dirname "$original")" --searches-only --library "$1" "${queries[@]}" 2>/dev/null |
      awk '/^"/ { print $1, $4, $6 }'
  }
  echo "In the window, the library open (first screen, final counts; ms, best of 3):"
  # One window after the other: a second one does not start beside the first.
  # (library_browse ends with 1 when its counts differ from a grep over
  # names.txt beside the original library, which may not be there.)
  file_window=$(window_times "$library" || true)
  server_window=$(window_times "$address" || true)
  paste -d' ' <(echo "$file_window") <(echo "$server_window") |
    awk '{ printf "%-10s | %8.1f / %-8.1f | %8.1f / %-8.1f | %.2f (goal 2), %.2f (goal 4)\n", $1, $2, $5, $3, $6, $5 / $2, $6 / $3 }'
fi
echo "load afterwards: $(uptime | sed 's/.*load/load/')"
"$server_script" halt "$work/pg" # keeps the data for the next run
