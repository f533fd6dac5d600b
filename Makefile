# The two commands a newcomer needs:  make demo   and   make test
# Both install what is missing from Debian's packages first.

BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test test-asan fuzz fuzz-smoke demo bench clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 300

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

demo: build
	@bash scripts/demo.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) build-asan build-fuzz
