#!/usr/bin/env bash
# A private PostgreSQL server for the tests of the library engine on
# PostgreSQL, under a temporary folder, listening on 127.0.0.1 at a free
# port. Run as root (as CI does), the server runs as the unprivileged user
# "nobody", since PostgreSQL refuses to run as root.
#
#   pg-test-server.sh start STATE   starts it unless it runs; writes STATE/address
#                                   ("postgresql://albireo@127.0.0.1:PORT"), or
#                                   STATE/missing when the server programs are missing
#   pg-test-server.sh halt STATE    stops it, keeping its data (a later start
#                                   brings it back at the same address)
#   pg-test-server.sh stop STATE    stops it and removes its folder
set -euo pipefail
command=${1:?start or stop}
state=${2:?state folder}
mkdir -p "$state"
exec 9>"$state/lock"
flock 9

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
# The lock's descriptor is closed for the server's programs: a server that
# inherited it would hold the lock for as long as it runs.
as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@" 9>&-; else "$@" 9>&-; fi
}

running() {
  [ -f "$state/address" ] && [ -f "$state/folder" ] &&
    as_server_user "$bindir/pg_ctl" status -D "$(cat "$state/folder")/data" >/dev/null 2>&1
}

# Starts the server of `folder` on `port`.
serve() {
  as_server_user "$bindir/pg_ctl" start -w -t 60 -D "$1/data" -l "$1/server.log" \
    -o "-p $2 -k $1 -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" >/dev/null 2>&1
}

halt() {
  [ -f "$state/folder" ] && as_server_user "$bindir/pg_ctl" stop -D "$(cat "$state/folder")/data" -m immediate >/dev/null 2>&1 || true
}

# A halted server comes back with its data at its address.
resume() {
  [ -f "$state/address" ] && [ -f "$state/folder" ] && [ -d "$(cat "$state/folder")/data" ] &&
    serve "$(cat "$state/folder")" "$(sed 's/.*://' "$state/address")"
}

stop() {
  if [ -f "$state/folder" ]; then
    folder=$(cat "$state/folder")
    as_server_user "$bindir/pg_ctl" stop -D "$folder/data" -m immediate >/dev/null 2>&1 || true
    rm -rf "$folder"
  fi
  rm -f "$state/address" "$state/folder"
}

start() {
  rm -f "$state/missing"
  if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ] || [ ! -x "$bindir/pg_ctl" ]; then
    echo "the PostgreSQL server programs (Debian package postgresql) are not installed" >"$state/missing"
    return 0
  fi
  running && return 0
  resume && return 0
  stop
  folder=$(mktemp -d /tmp/albireo-pg.XXXXXX)
  chmod 755 "$folder"
  [ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$folder"
  as_server_user "$bindir/initdb" -D "$folder/data" -U albireo --auth=trust -E UTF8 --no-locale >"$folder/initdb.log" 2>&1
  for attempt in 1 2 3 4 5 6 7 8; do
    port=$((20000 + RANDOM % 40000))
    if serve "$folder" "$port"; then
      echo "$folder" >"$state/folder"
      echo "postgresql://albireo@127.0.0.1:$port" >"$state/address"
      return 0
    fi
  done
  echo "the test server did not start; see $folder/server.log" >&2
  return 1
}

case "$command" in
  start) start ;;
  halt) halt ;;
  stop) stop ;;
  *) echo "usage: $0 start|halt|stop STATE" >&2; exit 2 ;;
esac
