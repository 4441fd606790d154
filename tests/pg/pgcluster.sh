#!/usr/bin/env bash
# Throw-away PostgreSQL servers for the tests and the demo: a primary and, on
# demand, a standby streaming from it, each listening only on a Unix socket
# inside DIR (no TCP port), with trust authentication for the local user
# "postgres". Run as root, the servers run as the system user postgres, since
# the server refuses to run as root; otherwise as the calling user.
#
#   pgcluster.sh start DIR           initdb DIR/primary, start it on DIR/sock
#   pgcluster.sh standby DIR         pg_basebackup -R into DIR/standby, start it on DIR/sock-standby
#   pgcluster.sh pooler DIR          PgBouncer in transaction pooling mode in front of the primary's
#                                    databases (trovel, and any other by its own name), on
#                                    DIR/sock-pooler (20 server connections per database)
#   pgcluster.sh stop DIR            stop both and remove DIR; safe to repeat, and after a failure
#   pgcluster.sh down DIR NODE       stop one server (NODE: primary or standby), keeping its data
#   pgcluster.sh up DIR NODE         start it again
#   pgcluster.sh promote DIR standby promote the standby to a primary of its own (it leaves the primary)
#   pgcluster.sh restandby DIR standby  make the standby again from the primary: stop it, remove it and
#                                    its slot, copy the primary anew and start it
#   pgcluster.sh address DIR NODE    print the address of NODE (primary, standby, pooler, or hosts: both
#                                    servers, as several hosts)
#   pgcluster.sh fixture-start FILE  start a primary and a standby in a new directory under /tmp and
#                                    with the pooler in front, and write their addresses to FILE
#                                    (lines "KEY VALUE": dir, script, primary, standby, hosts, pooler)
#   pgcluster.sh fixture-stop FILE   stop and remove what FILE names, then FILE
#
# Every database made later holds the ICU collation "es" (Spanish order),
# made in template1, and the database "trovel" is made for the tests. The
# servers run with fsync off: they are thrown away.
set -euo pipefail

BIN=${PGBIN:-/usr/lib/postgresql/15/bin}
MARK=.trovel-pgcluster
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../fixture.sh
source "$HERE/../fixture.sh"

die() { echo "pgcluster: $*" >&2; exit 1; }

# Runs a command as the user that owns the servers.
as_owner() {
  if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

node_dir() { echo "$1/$2"; }
sock_dir() { if [ "$2" = primary ]; then echo "$1/sock"; else echo "$1/sock-standby"; fi; }

address() {
  local dir=$1 node=$2
  case $node in
    primary|standby) echo "host=$(sock_dir "$dir" "$node") dbname=trovel user=postgres" ;;
    hosts) echo "host=$dir/sock,$dir/sock-standby dbname=trovel user=postgres" ;;
    pooler) echo "host=$dir/sock-pooler port=6432 dbname=trovel user=postgres" ;;
    *) die "unknown node $node (primary, standby, pooler or hosts)" ;;
  esac
}

check_binaries() {
  [ -x "$BIN/initdb" ] && [ -x "$BIN/pg_ctl" ] && [ -x "$BIN/pg_basebackup" ] ||
    die "PostgreSQL 15 server programs are missing in $BIN (Debian: apt-get install postgresql-15)"
  if [ "$(id -u)" = 0 ]; then id postgres >/dev/null 2>&1 || die "there is no system user postgres to run the server"; fi
}

# Makes DIR (or takes an empty one) and gives it to the servers' owner.
make_dir() {
  local dir=$1
  mkdir -p "$dir"
  [ -z "$(ls -A "$dir")" ] || [ -f "$dir/$MARK" ] || die "$dir is not empty and not ours"
  touch "$dir/$MARK"
  if [ "$(id -u)" = 0 ]; then chown postgres "$dir"; chmod 755 "$dir"; fi
}

start_node() {
  local dir=$1 node=$2
  local data; data=$(node_dir "$dir" "$node")
  [ -f "$data/postmaster.pid" ] && as_owner "$BIN/pg_ctl" -D "$data" status >/dev/null 2>&1 && return 0
  as_owner "$BIN/pg_ctl" -D "$data" -l "$dir/$node.log" -w -t 60 start >/dev/null ||
    { tail -n 20 "$dir/$node.log" >&2 || true; die "the $node server did not start"; }
}

stop_node() {
  local dir=$1 node=$2
  local data; data=$(node_dir "$dir" "$node")
  [ -f "$data/postmaster.pid" ] || return 0
  as_owner "$BIN/pg_ctl" -D "$data" -m "${STOP_MODE:-fast}" -w -t 60 stop >/dev/null 2>&1 && return 0
  # pg_ctl could not stop it: end the postmaster that this directory started.
  local pid; pid=$(head -n 1 "$data/postmaster.pid" 2>/dev/null || true)
  if [[ "$pid" =~ ^[0-9]+$ ]] && kill -0 "$pid" 2>/dev/null; then
    kill -QUIT "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
}

settings() {
  local dir=$1 node=$2
  cat >> "$(node_dir "$dir" "$node")/postgresql.conf" <<EOF
# pgcluster.sh
listen_addresses = ''
unix_socket_directories = '$(sock_dir "$dir" "$node")'
fsync = off
synchronous_commit = off
full_page_writes = off
# A standby cancels what holds back the primary's changes after 1 s (the
# default is 30 s): a recovery conflict is met within a test's time.
max_standby_streaming_delay = 1s
EOF
}

cmd_start() {
  local dir=$1
  check_binaries
  make_dir "$dir"
  [ ! -e "$dir/primary" ] || die "$dir already holds a primary"
  mkdir -p "$dir/sock"
  if [ "$(id -u)" = 0 ]; then chown postgres "$dir/sock"; fi
  # UTF8 with C.UTF-8, whose letters all know their case: ILIKE then matches
  # 'García' with 'GARCÍA' (and not with 'GARCIA').
  as_owner "$BIN/initdb" -D "$dir/primary" -U postgres --auth=trust --encoding=UTF8 --locale=C.UTF-8 \
    --no-sync >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; die "initdb failed"; }
  settings "$dir" primary
  start_node "$dir" primary
  local psql=("$BIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir/sock" -U postgres)
  "${psql[@]}" -d template1 -c "CREATE COLLATION es (provider = icu, locale = 'es')" >/dev/null
  "${psql[@]}" -d postgres -c "CREATE COLLATION es (provider = icu, locale = 'es')" -c "CREATE DATABASE trovel" >/dev/null
}

cmd_standby() {
  local dir=$1
  check_binaries
  [ -f "$dir/primary/postmaster.pid" ] || die "no primary is running in $dir"
  [ ! -e "$dir/standby" ] || die "$dir already holds a standby"
  mkdir -p "$dir/sock-standby"
  if [ "$(id -u)" = 0 ]; then chown postgres "$dir/sock-standby"; fi
  # A replication slot keeps the primary's WAL until the standby has it: a
  # standby stopped by a test, or reconnecting after the primary restarted,
  # would otherwise find the segments it needs recycled by a checkpoint and
  # never catch up again.
  as_owner "$BIN/pg_basebackup" -h "$dir/sock" -U postgres -D "$dir/standby" -R -X stream -C -S trovel_standby \
    --checkpoint=fast --no-sync \
    >"$dir/basebackup.log" 2>&1 || { cat "$dir/basebackup.log" >&2; die "pg_basebackup failed"; }
  settings "$dir" standby
  start_node "$dir" standby
}

cmd_promote() {
  local dir=$1
  as_owner "$BIN/pg_ctl" -D "$(node_dir "$dir" standby)" -w -t 60 promote >/dev/null || die "the standby was not promoted"
}

cmd_restandby() {
  local dir=$1
  stop_node "$dir" standby
  rm -rf "$(node_dir "$dir" standby)"
  "$BIN/psql" -X -q -h "$dir/sock" -U postgres -d postgres \
    -c "SELECT pg_drop_replication_slot('trovel_standby') FROM pg_replication_slots WHERE slot_name = 'trovel_standby'" \
    >/dev/null || die "the standby's slot could not be dropped"
  cmd_standby "$dir"
}

# PgBouncer as the forms meet it in front of a busy server: transaction
# pooling, 20 server connections for up to 400 clients, trust for the local
# user postgres.
cmd_pooler() {
  local dir=$1
  command -v pgbouncer >/dev/null || die "pgbouncer is missing (Debian: apt-get install pgbouncer)"
  [ -f "$dir/primary/postmaster.pid" ] || die "no primary is running in $dir"
  mkdir -p "$dir/sock-pooler"
  echo '"postgres" ""' >"$dir/pooler-users.txt"
  cat >"$dir/pgbouncer.ini" <<EOF
[databases]
trovel = host=$dir/sock dbname=trovel user=postgres
* = host=$dir/sock user=postgres

[pgbouncer]
listen_addr =
listen_port = 6432
unix_socket_dir = $dir/sock-pooler
auth_type = trust
auth_file = $dir/pooler-users.txt
pool_mode = transaction
default_pool_size = 20
max_client_conn = 400
listen_backlog = 1024
logfile = $dir/pgbouncer.log
pidfile = $dir/pgbouncer.pid
EOF
  if [ "$(id -u)" = 0 ]; then chown -R postgres "$dir/sock-pooler" "$dir/pgbouncer.ini" "$dir/pooler-users.txt"; fi
  as_owner pgbouncer -d -q "$dir/pgbouncer.ini" || { tail -n 20 "$dir/pgbouncer.log" >&2 || true; die "pgbouncer did not start"; }
  for _ in $(seq 100); do [ -S "$dir/sock-pooler/.s.PGSQL.6432" ] && return 0; sleep 0.1; done
  die "pgbouncer did not open its socket"
}

stop_pooler() {
  local dir=$1 pid
  pid=$(cat "$dir/pgbouncer.pid" 2>/dev/null || true)
  [[ "$pid" =~ ^[0-9]+$ ]] || return 0
  kill -INT "$pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
}

cmd_stop() {
  local dir=$1
  [ -e "$dir" ] || return 0
  [ -f "$dir/$MARK" ] || die "$dir was not made by pgcluster.sh; not removing it"
  stop_pooler "$dir"
  STOP_MODE=immediate stop_node "$dir" standby
  STOP_MODE=immediate stop_node "$dir" primary
  rm -rf "$dir"
}

cmd_fixture_start() {
  local file=$1
  cmd_fixture_stop "$file"  # what a run that died left behind
  FIXTURE_DIR=$(mktemp -d /tmp/trovel-pg.XXXXXX)
  local dir=$FIXTURE_DIR
  # Whatever fails from here on, nothing is left running.
  trap 'cmd_stop "$FIXTURE_DIR" || true' EXIT
  cmd_start "$dir"
  cmd_standby "$dir"
  cmd_pooler "$dir"
  trap - EXIT
  {
    echo "dir $dir"
    echo "script $HERE/pgcluster.sh"
    echo "primary $(address "$dir" primary)"
    echo "standby $(address "$dir" standby)"
    echo "hosts $(address "$dir" hosts)"
    echo "pooler $(address "$dir" pooler)"
  } | write_fixture "$file"
  echo "PostgreSQL primary, standby and PgBouncer running in $dir"
}

[ $# -ge 2 ] || die "usage: pgcluster.sh start|standby|pooler|stop|down|up|address|fixture-start|fixture-stop DIR|FILE [NODE]"
command=$1
target=$2
case $command in
  start) cmd_start "$target" ;;
  standby) cmd_standby "$target" ;;
  pooler) cmd_pooler "$target" ;;
  stop) cmd_stop "$target" ;;
  down) stop_node "$target" "${3:?which node: primary or standby}" ;;
  up) start_node "$target" "${3:?which node: primary or standby}" ;;
  promote) cmd_promote "$target" ;;
  restandby) cmd_restandby "$target" ;;
  address) address "$target" "${3:?which node: primary, standby or hosts}" ;;
  fixture-start) cmd_fixture_start "$target" ;;
  fixture-stop) cmd_fixture_stop "$target" ;;
  *) die "unknown command $command" ;;
esac
