# Front door of the project. `make run` and `make test` each do all set-up on a
# fresh Debian machine (packages via scripts/install-deps).

JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
DEVROOT ?= devroot
PORT ?= 8080

.PHONY: all deps build build-asan test test-normal test-asan fuzz devroot run bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKORVAN_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j$(JOBS)

fuzz: deps
	@if [ -x scripts/run-fuzz ]; then scripts/run-fuzz; fi

# Everything CI runs: the fuzzers for a bounded time, then the suite in the
# normal build and again under ASan+UBSan.
test: fuzz test-normal test-asan

devroot: build
	scripts/make-devroot $(DEVROOT) $(BUILD)

run: devroot
	scripts/run-local $(DEVROOT) $(BUILD) $(PORT)

bench: build
	bench/run

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
# DIR/usr/app/korvan.db is kept).
install: cross-configure
	@[ -n "$(DESTDIR)" ] || { echo "make install: set DESTDIR to the root of the device tree" >&2; exit 1; }
	cmake --build $(CROSS_BUILD) -j$(JOBS) --target korvan.cgi
	DESTDIR=$(abspath $(DESTDIR)) cmake --install $(CROSS_BUILD) --strip

# dist/korvan-VERSION-ARCH.tar.gz and its manifest dist/korvan-VERSION-ARCH.sha256.
dist: cross-configure
	cmake --build $(CROSS_BUILD) -j$(JOBS) --target korvan.cgi
	scripts/make-dist $(CROSS_BUILD) $(ARCH) $(VERSION) dist

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz $(DEVROOT)
