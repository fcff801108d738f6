#!/usr/bin/env bash
# Runs the disc engine's fuzz targets one after another (the machine's cores
# are shared), each for the given seconds (default 600), from the seeds that
# make_trellis_seeds.sh makes, with the hostile names of trellis_names.dict.
# Expects the targets built in build-fuzz:
#   cmake -S . -B build-fuzz -G Ninja -DALBIREO_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
#   cmake --build build-fuzz -j2 --target fuzz_trellis_Iso9660 fuzz_trellis_Udf fuzz_trellis_CueSheet
set -euo pipefail
seconds=${1:-600}
build=${BUILD:-build-fuzz}
[ -d "$build/corpus/trellis_iso9660" ] || "$(dirname "$0")/make_trellis_seeds.sh" "$build/corpus"
# ISO 9660 structures sit in the first blocks; UDF ones reach block 256 and beyond.
for target in Iso9660:131072 Udf:1048576 CueSheet:65536; do
  max_len=${target#*:}
  target=${target%:*}
  name=$(echo "$target" | tr 'A-Z' 'a-z')
  mkdir -p "$build/corpus/run_$name"
  echo "== fuzz_trellis_$target for $seconds s"
  "$build/fuzz/fuzz_trellis_$target" -dict="$(dirname "$0")/trellis_names.dict" -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=2048 -timeout=20 \
    -print_final_stats=1 "$build/corpus/run_$name" "$build/corpus/trellis_$name" 2>&1 | tail -12
done
