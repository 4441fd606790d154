# What the test servers' scripts (pg/pgcluster.sh, mariadb/mariadb.sh) share
# for their CTest fixtures: the fixture file, lines "KEY VALUE", of which
# "dir" names the directory that the script's cmd_stop stops and removes.
# Sourced; the sourcing script defines cmd_stop.

# Writes standard input to FILE whole: the tests never read half a file.
write_fixture() {
  local file=$1
  cat >"$file.tmp"
  mv "$file.tmp" "$file"
}

# Stops and removes what FILE names, then FILE; nothing when FILE is gone.
cmd_fixture_stop() {
  local file=$1
  [ -f "$file" ] || return 0
  local dir; dir=$(sed -n 's/^dir //p' "$file")
  [ -z "$dir" ] || cmd_stop "$dir"
  rm -f "$file"
}
