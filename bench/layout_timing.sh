# Processor time of a command (user + system of the whole process, which a
# loaded machine changes less than the elapsed time), for the scripts that
# compare two library layouts; sourced. The command's output is left in $out.
out=$(mktemp) times=$(mktemp)
trap 'rm -f "$out" "$times"' EXIT

cpu_ms() {
  /usr/bin/time -f "%U %S" -o "$times" "$@" >"$out" 2>&1
  awk '{ printf "%d", ($1 + $2) * 1000 }' "$times"
}
best_ms() {
  local best=999999 t
  for _ in 1 2 3; do
    t=$(cpu_ms "$@")
    ((t < best)) && best=$t
  done
  echo "$best"
}
ratio() { bc -l <<<"$2 / ($1 + 0.001)"; }
