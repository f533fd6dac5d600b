# The two commands a newcomer needs:  make demo   and   make test
# Both install what is missing from Debian's packages first.

BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test test-asan demo bench clean windows test-windows test-clang fuzz fuzz-smoke package screenshots

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# (The wine tests are make test-windows's: they need its Wine prefix.)
test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 300 -LE wine

# The core, CLI and emulator tests again under AddressSanitizer and UBSan.
test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ctest --output-on-failure -j $(JOBS) --timeout 300

# libFuzzer programs for every parser (clang), built in build-fuzz.
fuzz:
	@bash scripts/install-deps.sh --fuzz
	@cmake --preset fuzz >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzzers

# Each fuzz program for 30 s from its seeds; any finding fails.
FUZZ_SECONDS ?= 30
fuzz-smoke: fuzz
	@bash scripts/fuzz-run.sh build-fuzz $(FUZZ_SECONDS)

# The link against its wire-time bound on the emulated tracker, S-record
# loading beside srec_cat, and the window's longest wait; a few minutes, and
# not part of `make test`. BENCH_ARGS="--runs 1" for a quick look.
bench: configure
	@bash scripts/install-deps.sh --bench
	@cmake --build $(BUILD_DIR) --target varnel-bench -j $(JOBS)
	@cd $(BUILD_DIR) && ./bench/varnel-bench --json bench-results.json $(BENCH_ARGS)

# The core and varnelcfg-cli.exe cross-built for Windows with MinGW-w64
# (static: no DLL to ship), with the core's unit tests.
windows:
	@bash scripts/install-deps.sh windows
	@cmake --preset windows >/dev/null
	@cmake --build build-windows -j $(JOBS)

# The Windows build under Wine, in a fresh prefix inside build-windows: the
# core's unit tests, then varnelcfg-cli.exe against the emulated tracker
# through the prefix's COM12 (the same cases as the Linux CLI).
test-windows: windows deps
	@cmake --preset default -DVARNEL_WINDOWS_BUILD_DIR=$(CURDIR)/build-windows >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target test_wine_cli
	@bash scripts/wine-prefix.sh build-windows
	@status=0; \
	  (cd build-windows && ctest --output-on-failure -j $(JOBS) --timeout 300) || status=1; \
	  (cd $(BUILD_DIR) && ctest --output-on-failure -L wine --timeout 300) || status=1; \
	  bash scripts/wine-prefix.sh build-windows stop; \
	  exit $$status

# The core, CLI and emulator built with clang, and their tests.
test-clang:
	@bash scripts/install-deps.sh clang
	@cmake --preset clang >/dev/null
	@cmake --build build-clang -j $(JOBS)
	@cd build-clang && ctest --output-on-failure -j $(JOBS) --timeout 300 -LE wine

# The Debian package of the three programs, their manual pages and the guide,
# checked by lintian: $(BUILD_DIR)/varnelcfg_<version>_<arch>.deb.
package: build
	@bash scripts/install-deps.sh package
	@bash scripts/package.sh $(BUILD_DIR)

# Every window of the desktop program over the emulated trackers, offscreen,
# into docs/images for the guide. Look at them before committing them.
SCREENSHOT_DIR ?= docs/images
screenshots: build
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/screenshots/varnel-screenshots $(SCREENSHOT_DIR)

demo: build
	@bash scripts/demo.sh $(BUILD_DIR)

clean:
	@bash scripts/wine-prefix.sh build-windows stop 2>/dev/null || true
	rm -rf $(BUILD_DIR) build-asan build-windows build-clang build-fuzz
