#!/usr/bin/env bash
# A throw-away MariaDB server for the tests, the demo and the benchmarks:
# mariadb-install-db into DIR/data, the server listening only on the Unix
# socket DIR/sock/mariadb.sock (skip-networking: no TCP port), the user root
# without a password, and the database "trovel". Run as root, the server
# runs as the system user mysql, as the server wants; otherwise as the
# calling user.
#
#   mariadb.sh start DIR            install and start a server in DIR (made, or empty)
#   mariadb.sh stop DIR             stop it and remove DIR; safe to repeat, and after a failure
#   mariadb.sh address DIR [KIND]   print the ODBC address of its database trovel (KIND odbc, the
#                                   default) or the options of the mariadb client (KIND client)
#   mariadb.sh fixture-start FILE   start a server in a new directory under /tmp, with the ODBC
#                                   addresses of it and of the PostgreSQL primary whose address file
#                                   is PGFILE (env), and write them to FILE (lines "KEY VALUE": dir,
#                                   script, mariadb, pgodbc)
#   mariadb.sh fixture-stop FILE    stop and remove what FILE names, then FILE
#
# Table names are compared without regard to letter case
# (lower_case_table_names = 1): the controls upper-case their statements.
# The ODBC drivers are named by the path of their library, so that no
# system file (odbcinst.ini) is read or changed.
set -euo pipefail

MARK=.trovel-mariadb
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../fixture.sh
source "$HERE/../fixture.sh"

die() { echo "mariadb.sh: $*" >&2; exit 1; }

as_owner() {
  if [ "$(id -u)" = 0 ]; then runuser -u mysql -- "$@"; else "$@"; fi
}

# The library of an ODBC driver of Debian's packages, by its file name.
driver() {
  local found
  found=$(ls /usr/lib/*/odbc/"$1" /usr/lib/odbc/"$1" 2>/dev/null | head -n 1 || true)
  [ -n "$found" ] || die "the ODBC driver $1 is missing (Debian: apt-get install $2)"
  echo "$found"
}

address() {
  local dir=$1 kind=${2:-odbc}
  case $kind in
    odbc) echo "odbc:DRIVER=$(driver libmaodbc.so odbc-mariadb);SOCKET=$dir/sock/mariadb.sock;DATABASE=trovel;UID=root;PWD=" ;;
    client) echo "--socket=$dir/sock/mariadb.sock --user=root" ;;
    *) die "unknown kind $kind (odbc or client)" ;;
  esac
}

cmd_start() {
  local dir=$1
  command -v mariadb-install-db >/dev/null && [ -x /usr/sbin/mariadbd ] ||
    die "the MariaDB server is missing (Debian: apt-get install mariadb-server)"
  if [ "$(id -u)" = 0 ]; then id mysql >/dev/null 2>&1 || die "there is no system user mysql to run the server"; fi
  mkdir -p "$dir"
  [ -z "$(ls -A "$dir")" ] || [ -f "$dir/$MARK" ] || die "$dir is not empty and not ours"
  [ ! -e "$dir/data" ] || die "$dir already holds a server"
  touch "$dir/$MARK"
  mkdir -p "$dir/data" "$dir/sock"
  cat >"$dir/my.cnf" <<EOF
# mariadb.sh
[mariadbd]
datadir = $dir/data
socket = $dir/sock/mariadb.sock
pid-file = $dir/mariadb.pid
log-error = $dir/mariadb.log
skip-networking
lower_case_table_names = 1
character-set-server = utf8mb4
collation-server = utf8mb4_unicode_ci
innodb_buffer_pool_size = 64M
innodb_log_file_size = 16M
innodb_flush_log_at_trx_commit = 0
innodb_doublewrite = 0
skip-log-bin
EOF
  if [ "$(id -u)" = 0 ]; then chown -R mysql "$dir"; chmod 755 "$dir"; fi
  as_owner mariadb-install-db --defaults-file="$dir/my.cnf" --auth-root-authentication-method=normal \
    --skip-test-db >"$dir/install.log" 2>&1 || { cat "$dir/install.log" >&2; die "mariadb-install-db failed"; }
  # mariadbd-safe would restart a server that a test stops on purpose.
  as_owner /usr/sbin/mariadbd --defaults-file="$dir/my.cnf" >>"$dir/mariadb.log" 2>&1 &
  for _ in $(seq 300); do
    [ -S "$dir/sock/mariadb.sock" ] && mariadb $(address "$dir" client) -e "select 1" >/dev/null 2>&1 && break
    sleep 0.1
  done
  mariadb $(address "$dir" client) -e "create database trovel character set utf8mb4" ||
    { tail -n 20 "$dir/mariadb.log" >&2 || true; die "the server did not start"; }
}

cmd_stop() {
  local dir=$1 pid
  [ -e "$dir" ] || return 0
  [ -f "$dir/$MARK" ] || die "$dir was not made by mariadb.sh; not removing it"
  pid=$(cat "$dir/mariadb.pid" 2>/dev/null || true)
  if [[ "$pid" =~ ^[0-9]+$ ]] && kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  fi
  rm -rf "$dir"
}

cmd_fixture_start() {
  local file=$1
  cmd_fixture_stop "$file"  # what a run that died left behind
  FIXTURE_DIR=$(mktemp -d /tmp/trovel-mariadb.XXXXXX)
  local dir=$FIXTURE_DIR pgodbc=""
  trap 'cmd_stop "$FIXTURE_DIR" || true' EXIT
  cmd_start "$dir"
  if [ -n "${PGFILE:-}" ]; then
    local primary; primary=$(sed -n 's/^dir //p' "$PGFILE")
    [ -n "$primary" ] || die "$PGFILE names no PostgreSQL server"
    pgodbc="odbc:DRIVER=$(driver psqlodbcw.so odbc-postgresql);SERVER=$primary/sock;PORT=5432;DATABASE=trovel;UID=postgres"
  fi
  trap - EXIT
  {
    echo "dir $dir"
    echo "script $HERE/mariadb.sh"
    echo "mariadb $(address "$dir" odbc)"
    [ -z "$pgodbc" ] || echo "pgodbc $pgodbc"
  } | write_fixture "$file"
  echo "MariaDB running in $dir"
}

[ $# -ge 2 ] || die "usage: mariadb.sh start|stop|address|fixture-start|fixture-stop DIR|FILE [KIND]"
case $1 in
  start) cmd_start "$2" ;;
  stop) cmd_stop "$2" ;;
  address) address "$2" "${3:-odbc}" ;;
  fixture-start) cmd_fixture_start "$2" ;;
  # psqlODBC 13 leaves a log file in /tmp for each process that used it,
  # whatever its settings: those of the test programs go with the servers.
  fixture-stop) cmd_fixture_stop "$2"; rm -f /tmp/psqlodbc_*_test*.log ;;
  *) die "unknown command $1" ;;
esac
