# Front door of the project. `make run` and `make test` each do all set-up on a
# fresh Debian machine (packages via scripts/install-deps).

JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
DEVROOT ?= devroot
PORT ?= 8080

.PHONY: all deps build build-asan build-serve check test test-normal test-asan test-ui fuzz fault-test devroot run bench clean mutate

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

# One clang tree with ASan+UBSan for the suite and the fuzz targets alike.
build-asan: deps
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug \
		-DKORVAN_SANITIZE=ON -DKORVAN_FUZZ=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)

# The quick round while working: the normal build and its unit, black-box and
# layer tests (no sanitizers, fuzzers, browser or load test).
check: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-normal: check

# The sanitizer tree runs the unit and black-box tests; the fault loops under
# the sanitizers run in `make fault-test`, the source and build-graph checks
# once, in the normal tree.
test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j$(JOBS) -LE "fault|layers"

# The browser suite (Playwright, Debian's chromium) against the program,
# the simulator and lighttpd, which it starts on free loopback ports.
test-ui: build-serve
	@if [ ! -f ui/node_modules/.package-lock.json ] || [ ui/package-lock.json -nt ui/node_modules/.package-lock.json ]; then \
		cd ui && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error; fi
	cd ui && KORVAN_BUILD=$(abspath $(BUILD)) node_modules/.bin/playwright test

fuzz: build-asan
	scripts/run-fuzz $(ASAN_BUILD)

# The storage-fault and crash-point loops with every k (the suite runs a
# sample of k), in the normal tree and under ASan+UBSan. Hours, not minutes:
# a request makes a few thousand allocations, each failed in a run of its
# own. Run outside ctest, whose per-test timeout suits the sample only;
# FAULT_FILTER (a gtest filter) and KORVAN_FAULT_KINDS (e.g. read,oom) narrow it.
FAULT_FILTER ?= *
fault-test: build build-asan
	KORVAN_FAULT_FULL=1 $(BUILD)/tests/fault_tests --gtest_filter='$(FAULT_FILTER)'
	KORVAN_FAULT_FULL=1 ASAN_OPTIONS=detect_leaks=1 \
		$(ASAN_BUILD)/tests/fault_tests --gtest_filter='$(FAULT_FILTER)'

# Everything CI runs: the suite in the normal build and again under
# ASan+UBSan, the fuzzers for a bounded time (FUZZ_SECONDS per target), the
# browser suite, and the short load test.
test: test-normal test-asan fuzz test-ui bench-load

devroot: build-serve
	scripts/make-devroot $(DEVROOT) $(BUILD)

run: devroot
	scripts/run-local $(DEVROOT) $(BUILD) $(PORT)

bench: build
	bench/run

# The mutation check: every fault of tests/mutations.ini put into a scratch
# copy of the code (build-mutate/), one at a time, must make the suite fail.
# MUTATE_SAMPLE=N runs a fixed sample of N faults. Run the whole list before
# closing an issue that touches a file it names.
MUTATE_SAMPLE ?= 0
mutate: deps
	scripts/mutate --sample $(MUTATE_SAMPLE)

# Device builds for ARCH (armhf, the switch's processor, or arm64) in
# build-ARCH with the toolchain file cmake/ARCH.cmake; the tests run under
# qemu-user. `install` and `dist` need only the program.
ARCH ?= armhf
CROSS_BUILD ?= build-$(ARCH)
VERSION ?= $(shell git describe --tags --always --dirty 2>/dev/null || echo 0)

.PHONY: cross-deps cross-configure cross cross-test install dist

cross-deps:
	@scripts/install-deps --cross $(ARCH)

cross-configure: cross-deps
	cmake -S . -B $(CROSS_BUILD) --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/$(ARCH).cmake \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo

cross: cross-configure
	cmake --build $(CROSS_BUILD) -j$(JOBS)

cross-test: cross
	cd $(CROSS_BUILD) && ctest --output-on-failure -j$(JOBS)

# make install DESTDIR=DIR: the device tree under DIR (an existing
# DIR/usr/app/korvan.db is kept; a new one is the factory database, mode 0600).
install: cross-configure
	@[ -n "$(DESTDIR)" ] || { echo "make install: set DESTDIR to the root of the device tree" >&2; exit 1; }
	cmake --build $(CROSS_BUILD) -j$(JOBS) --target korvan.cgi
	DESTDIR=$(abspath $(DESTDIR)) cmake --install $(CROSS_BUILD) --strip

# dist/korvan-VERSION-ARCH.tar.gz and its manifest dist/korvan-VERSION-ARCH.sha256.
dist: cross-configure
	cmake --build $(CROSS_BUILD) -j$(JOBS) --target korvan.cgi
	scripts/make-dist $(CROSS_BUILD) $(ARCH) $(VERSION) dist

# The load test through lighttpd and the simulator, in its short form.
.PHONY: bench-load
bench-load: build
	bench/load --seconds 10 --build $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-mutate $(DEVROOT)
