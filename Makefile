# Set-up and build. `make test` installs what is missing, builds and runs the
# whole suite; `make demo` builds and runs the demo.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2
# What `make deps` installs on a bare Debian 12: the libraries and tools of
# the build, and the package of every program that the build, the tests, the
# fuzz runs and the targets here call (tests/packages_test.sh checks each
# program against this list). The last line holds those that every Debian
# system has already, named so that the list says where each program comes
# from.
PACKAGES = cmake g++ make libsqlite3-dev nlohmann-json3-dev libgtest-dev libbenchmark-dev libicu-dev libpq-dev \
  postgresql-15 postgresql-client-15 qt6-base-dev libqt6sql6-psql libqt6sql6-sqlite qt6-tools-dev qt6-tools-dev-tools \
  designer-qt6 xvfb xauth clang libclang-rt-14-dev pkgconf bsdextrautils python3-minimal pgbouncer \
  unixodbc-dev unixodbc odbc-mariadb odbc-postgresql mariadb-server mariadb-server-core mariadb-client \
  mariadb-client-core gawk libqt6sql6-odbc libqt6sql6-mysql \
  bash dash coreutils util-linux sed grep mawk dpkg apt

.PHONY: deps print-packages configure build test asan-test fuzz bench demo tour demo-files pg-demo-server pg-demo-server-stop \
  mariadb-demo-server mariadb-demo-server-stop screenshot package designer-screenshot clean

deps:
	@missing=""; for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi

print-packages:
	@echo $(PACKAGES)

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan-test: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTROVEL_SANITIZE=ON -DTROVEL_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The fuzz targets (fuzz/), built with clang's libFuzzer in a build directory
# of their own and run FUZZ_SECONDS each; CI runs them briefly.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 120
fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTROVEL_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# pg_bench runs on a throw-away PostgreSQL server and odbc_bench on a
# throw-away MariaDB server, both started for the run and stopped
# afterwards, also when a benchmark fails. The benchmarks share the
# SQLite files they generate (TROVEL_BENCH_DB_DIR) and append their figures
# to one summary (TROVEL_BENCH_SUMMARY, see bench/Summary.h), printed as a
# table at the end; both live in a directory removed at the end.
bench: build
	@dir=$$(mktemp -d /tmp/trovel-bench-pg.XXXXXX); \
	mdir=$$(mktemp -d /tmp/trovel-bench-mariadb.XXXXXX); \
	work=$$(mktemp -d /tmp/trovel-bench.XXXXXX); \
	trap 'bash tests/pg/pgcluster.sh stop "$$dir"; bash tests/mariadb/mariadb.sh stop "$$mdir"; rm -rf "$$work"' EXIT; \
	bash tests/pg/pgcluster.sh start "$$dir" && \
	bash tests/mariadb/mariadb.sh start "$$mdir" && \
	export TROVEL_PG_BENCH="$$(bash tests/pg/pgcluster.sh address "$$dir" primary)" && \
	export TROVEL_ODBC_BENCH="$$(bash tests/mariadb/mariadb.sh address "$$mdir")" && \
	export TROVEL_BENCH_DB_DIR="$$work" TROVEL_BENCH_SUMMARY="$$work/summary.tsv" && \
	for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b || exit 1; done && \
	echo && echo "== summary" && \
	{ printf 'path\trows\tTrovel\tlimit\tQSqlQueryModel\tratios\n'; cat "$$TROVEL_BENCH_SUMMARY" 2>/dev/null; } | \
	  column -t -s "$$(printf '\t')" -o ' | '

DEMO = $(BUILD)/demo
# make demo DB=ADDRESS (or make tour DB=ADDRESS) runs the demo on the database
# at ADDRESS, an SQLite file or a server, after filling it with the sample
# tables (replacing tables named clientes and articulos there).
export DB
# The desktop demo where there is a display; the headless tour elsewhere.
demo: build demo-files
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD)/apps/trovel-demo ]; then \
	  $(BUILD)/apps/trovel-demo $${DB:+--database "$$DB"} $(DEMO)/demo.form.json; \
	else \
	  echo "no display here: running the headless tour of the trovel command-line host instead"; \
	  $(MAKE) --no-print-directory tour; \
	fi

tour: build demo-files
	$(BUILD)/apps/trovel -v $${DB:+--database "$$DB"} $(DEMO)/demo.form.json apps/demo/tour.trv

demo-files:
	@mkdir -p $(DEMO)
	@[ -f $(DEMO)/sample.db ] || $(BUILD)/apps/trovel --create-sample $(DEMO)/sample.db
	@[ -z "$$DB" ] || $(BUILD)/apps/trovel --create-sample "$$DB"
	@for f in apps/demo/*.form.json; do [ -f $(DEMO)/$$(basename $$f) ] || cp $$f $(DEMO)/; done

# Starts a demo server and says how to use it: $(1) its kind, $(2) the
# script and $(3) its directory, $(4) the address command's last words,
# $(5) the target that stops it.
define start_demo_server
	@bash $(2) start $(3)
	@echo "$(1) is running in $(3); its address:"
	@echo "  $$(bash $(2) address $(3) $(4))"
	@echo "run the demo on it:  make demo DB=\"$$(bash $(2) address $(3) $(4))\""
	@echo "stop it:             make $(5)"
endef

# A throw-away local PostgreSQL server for the demo, on a Unix socket in
# PG_DEMO (no TCP port); prints the address for make demo DB=...
PG_DEMO ?= /tmp/trovel-demo-pg
pg-demo-server: deps
	$(call start_demo_server,PostgreSQL,tests/pg/pgcluster.sh,$(PG_DEMO),primary,pg-demo-server-stop)

pg-demo-server-stop:
	bash tests/pg/pgcluster.sh stop $(PG_DEMO)

# Its MariaDB sibling, reached through ODBC (odbc-mariadb), on a Unix socket
# in MARIADB_DEMO.
MARIADB_DEMO ?= /tmp/trovel-demo-mariadb
mariadb-demo-server: deps
	$(call start_demo_server,MariaDB,tests/mariadb/mariadb.sh,$(MARIADB_DEMO),odbc,mariadb-demo-server-stop)

mariadb-demo-server-stop:
	bash tests/mariadb/mariadb.sh stop $(MARIADB_DEMO)

# A picture of the desktop demo, taken under Xvfb.
screenshot: build demo-files
	xvfb-run -a -s "-screen 0 1280x800x24" $(BUILD)/apps/trovel-demo --screenshot docs/demo.png $(DEMO)/demo.form.json

# The Debian package libtrovel-dev, in $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB

# A picture of both controls on a form in Qt Designer, taken under Xvfb.
designer-screenshot: build
	scripts/designer-screenshot.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
