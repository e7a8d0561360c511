# make test: builds the Linux, sanitizer and Windows presets and runs every test.
# make run:  builds the batch command and runs it on the bundled sample, then on the sample with
#            covariates adjusted for age, sex and stage (installs only what the Linux build
#            needs; `ctest --preset native` then runs its tests).
# make gui:  starts Orvantis.exe on the sample under Wine on your display.
# make bench: runs the benchmarks.
# make dist: builds the Windows release package build/windows/Orvantis-<version>-win64.zip.
# make fuzz: fuzzes the whole job with AFL++ for FUZZ_SECONDS (default 600) and prints the figures.

SHELL := /bin/bash
WINEPREFIX_DIR := $(CURDIR)/build/windows/wineprefix
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24"

FUZZ_SECONDS ?= 600

.PHONY: deps deps-native native asan windows test run gui bench dist fuzz clean

# Everything, the Windows toolchain and Wine included (make test, gui, windows, dist).
deps:
	@bash scripts/install-deps.sh

# Only what the Linux build, its tests and benchmarks need.
deps-native:
	@bash scripts/install-deps.sh native

native: deps-native
	@cmake --preset native >/dev/null
	@cmake --build --preset native

asan: deps-native
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan

windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

test: native asan windows
	@status=0; \
	echo "== native tests"; ctest --preset native || status=1; \
	echo "== sanitizer tests (ASan + UBSan)"; ctest --preset asan || status=1; \
	echo "== Windows tests under Wine"; $(XVFB) ctest --preset windows || status=1; \
	WINEPREFIX=$(WINEPREFIX_DIR) wineserver -w 2>/dev/null || true; \
	exit $$status

run: deps-native
	@cmake --preset native >/dev/null
	@cmake --build --preset native --target orvantis
	@./build/native/src/cli/orvantis examples/data-sample.csv --out out
	@echo "Images and view texts written to $(CURDIR)/out/"
	@echo
	@set -o pipefail; ./build/native/src/cli/orvantis examples/data-sample-covariates.csv --covariates age,sex,stage \
		--out out/covariates | sed -n '/^\[Cox model/,$$p'
	@echo "The adjusted model's files (model.csv, forest.pdf, .svg, .png) written to $(CURDIR)/out/covariates/"

gui: windows
	@scripts/wine-run.sh $(WINEPREFIX_DIR) build/windows/src/app/Orvantis.exe examples/data-sample.csv

bench: native
	@./build/native/bench/orvantis_bench

dist: windows
	@cmake --build --preset windows --target dist

fuzz:
	@FUZZ_SECONDS=$(FUZZ_SECONDS) bash scripts/fuzz.sh

clean:
	rm -rf build out
