# Front door of the project. `make run` and `make test` each do all set-up on a
# fresh Debian machine (packages via scripts/install-deps).

JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
DEVROOT ?= devroot
PORT ?= 8080

.PHONY: all deps build build-asan build-serve test test-normal test-asan test-ui fuzz devroot run bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

# Only what `make run` and the browser suite serve: the program and the
# switch simulator, not the test binaries.
build-serve: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) --target korvan.cgi switch-sim -j$(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKORVAN_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j$(JOBS)

# The browser suite (Playwright, Debian's chromium) against the program,
# the simulator and lighttpd, which it starts on free loopback ports.
test-ui: build-serve
	@if [ ! -f ui/node_modules/.package-lock.json ] || [ ui/package-lock.json -nt ui/node_modules/.package-lock.json ]; then \
		cd ui && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error; fi
	cd ui && KORVAN_BUILD=$(abspath $(BUILD)) node_modules/.bin/playwright test

fuzz: deps
	@if [ -x scripts/run-fuzz ]; then scripts/run-fuzz; fi

# Everything CI runs: the fuzzers for a bounded time, then the suite in the
# normal build and again under ASan+UBSan.
test: fuzz test-normal test-asan test-ui

devroot: build-serve
	scripts/make-devroot $(DEVROOT) $(BUILD)

run: devroot
	scripts/run-local $(DEVROOT) $(BUILD) $(PORT)

bench: build
	bench/run

# The load test through lighttpd and the simulator, in its short form.
.PHONY: bench-load
bench-load: build
	bench/load --seconds 10 --build $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz $(DEVROOT)
