# Set-up and build. `make test` installs what is missing, builds and runs the
# whole suite; `make demo` builds and runs the demo.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2
PACKAGES = cmake g++ make libsqlite3-dev nlohmann-json3-dev libgtest-dev libbenchmark-dev libicu-dev libpq-dev postgresql-15 qt6-base-dev qt6-tools-dev qt6-tools-dev-tools designer-qt6 xvfb xauth

.PHONY: deps configure build test asan-test bench demo tour demo-files screenshot package designer-screenshot clean

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
# The desktop demo where there is a display; the headless tour elsewhere.
demo: build demo-files
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD)/apps/trovel-demo ]; then \
	  $(BUILD)/apps/trovel-demo $(DEMO)/demo.form.json; \
	else \
	  echo "no display here: running the headless tour of the trovel command-line host instead"; \
	  $(MAKE) --no-print-directory tour; \
	fi

tour: build demo-files
	$(BUILD)/apps/trovel -v $(DEMO)/demo.form.json apps/demo/tour.trv

demo-files:
	@mkdir -p $(DEMO)
	@[ -f $(DEMO)/sample.db ] || $(BUILD)/apps/trovel --create-sample $(DEMO)/sample.db
	@for f in apps/demo/*.form.json; do [ -f $(DEMO)/$$(basename $$f) ] || cp $$f $(DEMO)/; done

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
