# Set-up and build. `make test` installs what is missing, builds and runs the
# whole suite; `make demo` builds and runs the demo.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2
PACKAGES = cmake g++ make libsqlite3-dev nlohmann-json3-dev libgtest-dev libbenchmark-dev qt6-base-dev xvfb xauth

.PHONY: deps configure build test asan-test bench demo clean

deps:
	@missing=""; for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi

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

bench: build
	for b in $(BUILD)/bench/*_bench; do $$b; done

DEMO = $(BUILD)/demo
demo: build
	@mkdir -p $(DEMO)
	@[ -f $(DEMO)/sample.db ] || $(BUILD)/apps/trovel --create-sample $(DEMO)/sample.db
	@[ -f $(DEMO)/clientes.form.json ] || cp apps/demo/clientes.form.json $(DEMO)/
	$(BUILD)/apps/trovel -v $(DEMO)/clientes.form.json apps/demo/tour-clientes.trv

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
