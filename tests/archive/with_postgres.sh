#!/usr/bin/env bash
# Runs a command (the archive's tests) against a PostgreSQL server of its own: a throwaway
# cluster in a temporary folder, on a free local port, run by an unprivileged user (nobody when
# started as root, as CI does). VR5XP_ARCHIVE names its database; VR5XP_TEST_PG_STOP and
# VR5XP_TEST_PG_START stop the server at once and start it again, for the tests of a server
# that goes away. The cluster is stopped and removed afterwards, whatever happens.
#
#   tests/archive/with_postgres.sh build/tests/archive/vr5_archive_tests [ARGS...]
#
# Without PostgreSQL this fails: scripts/setup installs it.
set -euo pipefail

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ] || [ ! -x "$bin/pg_ctl" ]; then
  echo "with_postgres.sh: PostgreSQL's server programs are not installed" \
    "(/usr/lib/postgresql/*/bin/initdb); scripts/setup installs them" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vr5xp-postgres.XXXXXX")
data=$work/data
as_server=()
if [ "$(id -u)" -eq 0 ]; then
  # The server refuses to run as root.
  chown nobody "$work"
  chmod 700 "$work"
  as_server=(runuser -u nobody --)
fi

stop_server() {
  if [ -f "$data/postmaster.pid" ]; then
    "${as_server[@]}" "$bin/pg_ctl" stop -D "$data" -m immediate >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap stop_server EXIT
trap 'exit 130' INT TERM

# A port nobody listens on.
port=
for _ in $(seq 200); do
  candidate=$((20000 + RANDOM % 40000))
  if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
    port=$candidate
    break
  fi
done
[ -n "$port" ] || { echo "with_postgres.sh: no free port" >&2; exit 1; }

"${as_server[@]}" "$bin/initdb" -D "$data" -U vr5 --auth=trust --no-sync -E UTF8 --locale=C \
  >"$work/initdb.log" 2>&1 || { cat "$work/initdb.log" >&2; exit 1; }
options="-p $port -k $work -c listen_addresses=127.0.0.1 -c fsync=off"
start="${as_server[*]} $bin/pg_ctl start -w -D $data -l $work/server.log -o '$options'"
stop="${as_server[*]} $bin/pg_ctl stop -D $data -m immediate"
if ! sh -c "$start" >/dev/null; then
  cat "$work/server.log" >&2
  exit 1
fi
"$bin/createdb" -h 127.0.0.1 -p "$port" -U vr5 vr5_archive_test

export VR5XP_ARCHIVE="postgresql://vr5@127.0.0.1:$port/vr5_archive_test"
export VR5XP_TEST_PG_STOP="$stop"
export VR5XP_TEST_PG_START="$start"
status=0
"$@" || status=$?
exit $status
