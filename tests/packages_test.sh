#!/usr/bin/env bash
# Every program that the build, the tests, the fuzz runs and the Makefile's
# targets call comes from a package that `make deps` installs (PACKAGES in
# the Makefile): on a bare Debian 12 with git and make alone, `make test`,
# `make fuzz` and the other targets find all they run. A program is looked
# for where such a system has programs, never in /usr/local or a home
# folder, and its package is the one that dpkg says the file belongs to.
#
#   tests/packages_test.sh SOURCE
set -uo pipefail
source=${1:?usage: packages_test.sh SOURCE}
PATH=/usr/sbin:/usr/bin:/sbin:/bin

# Run by `make test`, whose job server is no business of this make.
packages=" $(env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -s --no-print-directory -C "$source" print-packages) "
[ "$packages" != "  " ] || { echo "make print-packages printed no package"; exit 1; }

bin=/usr/lib/postgresql/15/bin
programs=(
  # the Makefile's targets and .ci/run
  make bash dpkg apt-get cmake ctest cpack mktemp cat column xvfb-run
  # xvfb-run itself
  Xvfb xauth getopt mcookie
  # scripts/designer-screenshot.sh and scripts/xwd2png.py
  /usr/lib/qt6/bin/designer python3 sleep cp
  # the build, the package tests (cmake/ConsumerTest.cmake) and CPack's DEB generator
  g++ c++ dpkg-deb pkg-config
  # the fuzz targets and fuzz/run.sh
  clang++ awk grep tail head mkdir basename
  # tests/pg/pgcluster.sh, which the PostgreSQL tests' fixture runs
  "$bin/initdb" "$bin/pg_ctl" "$bin/postgres" "$bin/pg_basebackup" "$bin/psql" pgbouncer cat
  runuser id sed seq touch chown chmod ls rm mv dirname
  # tests/mariadb/mariadb.sh, which the ODBC tests' fixture runs
  mariadb-install-db /usr/sbin/mariadbd mariadb sleep head
  # the test programs' popen and system
  sh
)

# The packages that hold `path`: dpkg names a file by the path its package
# installed, which on a merged /usr may be /bin/... for /usr/bin/..., and a
# program reached through a link (an alternative: awk, c++) belongs to the
# first file on the way that a package installed.
owners() {
  local path=$1 candidate line link hops
  for hops in 1 2 3 4 5 6 7 8; do
    for candidate in "$path" "${path#/usr}"; do
      line=$(dpkg -S "$candidate" 2>/dev/null | grep -v '^diversion by' | head -n 1)
      if [ -n "$line" ]; then
        line=${line%%: *}
        for package in ${line//,/ }; do echo "${package%%:*}"; done
        return 0
      fi
    done
    link=$(readlink "$path") || return 1
    case $link in /*) path=$link ;; *) path=$(dirname "$path")/$link ;; esac
  done
  return 1
}

checked=0 failed=0
for program in "${programs[@]}"; do
  checked=$((checked + 1))
  path=$(command -v "$program") || { echo "FAILED: $program is not installed"; failed=$((failed + 1)); continue; }
  found=$(owners "$path") || { echo "FAILED: no package holds $path ($program)"; failed=$((failed + 1)); continue; }
  ok=""
  for package in $found; do
    [[ "$packages" == *" $package "* ]] && ok=$package
  done
  if [ -n "$ok" ]; then
    printf '%-40s %s\n' "$path" "$ok"
  else
    echo "FAILED: $path ($program) comes from $(echo $found | tr ' ' ','), which PACKAGES does not name"
    failed=$((failed + 1))
  fi
done
echo "packages: $checked programs checked, $((checked - failed)) from a package in PACKAGES, $failed not"
[ "$failed" -eq 0 ]
