# Every target does the set-up it needs on a fresh machine (scripts/setup is
# quick when everything is already installed).
SHELL := /bin/bash
JOBS ?= 2
WINE ?= /usr/lib/wine/wine64
export WINEPREFIX ?= $(CURDIR)/build/wineprefix
export WINEDEBUG ?= -all

.PHONY: screenshots all setup build build-linux build-win64 build-win32 test test-linux test-wine check-win32 run bench dist demo clean
.PHONY: build-asan test-asan build-tsan test-tsan build-fuzz test-fuzz fuzz crash load reliability-figures

all: build

setup:
	@scripts/setup

build-linux: setup
	@cmake --preset linux >/dev/null
	@cmake --build build/linux -j$(JOBS)

build-win64: setup
	@cmake --preset win64 >/dev/null
	@cmake --build build/win64 -j$(JOBS)

build-win32: setup
	@cmake --preset win32 >/dev/null
	@cmake --build build/win32 -j$(JOBS) --target quorvel_plugin

build: build-linux build-win64 build-win32

# The Linux tests (unit and end-to-end sessions), then the same sessions
# replayed under wine64 against the win64 build, then the shipped library's
# exports and imports.
test: build
	@$(MAKE) --no-print-directory test-linux test-wine check-win32 test-asan test-tsan test-fuzz reliability-figures
	@echo "make test: all passed"

test-linux:
	@ctest --test-dir build/linux --output-on-failure -j$(JOBS) -LE wine

# The end-to-end sessions again, against the win64 build under wine64, with
# a display of its own for the management window (no display of the machine).
test-wine:
	@xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/linux --output-on-failure -L wine
	@xvfb-run -a -s "-screen 0 1280x800x24" $(WINE) build/win64/bin/win32-controls-test.exe

# The Linux unit tests and sessions again under AddressSanitizer and
# UndefinedBehaviorSanitizer (undefined behaviour fails the test); the crash
# test, which kills the host on purpose, runs only in the plain build.
build-asan: setup
	@cmake --preset linux-asan >/dev/null
	@cmake --build build/linux-asan -j$(JOBS)

test-asan: build-asan
	@ctest --test-dir build/linux-asan --output-on-failure -j$(JOBS) -LE 'wine|crash'

# The tests that run threads under ThreadSanitizer: the storage and window
# tests, the concurrency and window sessions and the small load session.
# Only what they need is built.
TSAN_TARGETS := quorvel-host coupler quorvel_plugin storage_database_test window_test
build-tsan: setup
	@cmake --preset linux-tsan >/dev/null
	@cmake --build build/linux-tsan -j$(JOBS) --target $(TSAN_TARGETS)

test-tsan: build-tsan
	@build/linux-tsan/bin/storage_database_test --gtest_brief=1
	@build/linux-tsan/bin/window_test --gtest_brief=1
	@ctest --test-dir build/linux-tsan --output-on-failure -j$(JOBS) -R '^(sessions\.concurrency|window\.[a-z_]+|reliability\.load)$$'

# libFuzzer targets (fuzz/): `make fuzz` runs each for FUZZ_SECONDS, `make
# test` for 10 seconds each. A crash leaves its input in build/fuzz/artifacts.
FUZZ_SECONDS ?= 60
build-fuzz: setup
	@cmake --preset fuzz >/dev/null
	@cmake --build build/fuzz -j$(JOBS) --target quorvel_fuzzers

fuzz: build-fuzz
	@fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

test-fuzz: build-fuzz
	@fuzz/run.sh build/fuzz 10

# The crash test with more kills than `make test` makes, and the full load
# session: 8 threads x 10,000 events.
KILLS ?= 200
crash: build-linux
	@tests/reliability/crash_safety.py --kills $(KILLS) build/linux/bin/quorvel-host "build/linux/bin/Quorvel系列.cat.so"

load: build-linux
	@tests/reliability/load.py --threads 8 --events 10000 build/linux/bin/quorvel-host "build/linux/bin/Quorvel系列.cat.so"

# The figures of the crash test and the load session that test-linux ran.
reliability-figures:
	@cat build/linux/reliability/crash.txt build/linux/reliability/load.txt

# A picture of each page of the native window under wine, in build/screenshots.
screenshots: build-win64
	@scripts/screenshots

check-win32:
	@scripts/check-dll build/win32/bin/Quorvel系列.cat.dll i686
	@scripts/check-dll build/win64/bin/Quorvel系列.cat.dll x86_64

demo: build-linux
	@scripts/make-demo demo

run: demo
	@printf 'start %s/demo/\n' "$(CURDIR)" > build/demo-start.txt
	@build/linux/bin/quorvel-host --plugin "build/linux/bin/Quorvel系列.cat.so" build/demo-start.txt

bench: build-linux
	@scripts/run-benchmarks build/linux/bin

dist: build-win32
	@mkdir -p dist/win32
	@cp "build/win32/bin/Quorvel系列.cat.dll" dist/win32/
	@scripts/check-dll "dist/win32/Quorvel系列.cat.dll" i686
	@echo "dist/win32/Quorvel系列.cat.dll"

clean:
	rm -rf build/linux build/win64 build/win32 dist demo
