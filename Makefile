# Every target does the set-up it needs on a fresh machine (scripts/setup is
# quick when everything is already installed).
SHELL := /bin/bash
JOBS ?= 2
WINE ?= /usr/lib/wine/wine64
export WINEPREFIX ?= $(CURDIR)/build/wineprefix
export WINEDEBUG ?= -all

.PHONY: screenshots all setup build build-linux build-win64 build-win32 test test-linux test-wine check-win32 run bench dist demo clean

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
	@$(MAKE) --no-print-directory test-linux test-wine check-win32
	@echo "make test: all passed"

test-linux:
	@ctest --test-dir build/linux --output-on-failure -j$(JOBS) -LE wine

# The end-to-end sessions again, against the win64 build under wine64, with
# a display of its own for the management window (no display of the machine).
test-wine:
	@xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/linux --output-on-failure -L wine
	@xvfb-run -a -s "-screen 0 1280x800x24" $(WINE) build/win64/bin/win32-controls-test.exe

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
