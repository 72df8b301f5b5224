# Trove's two set-up commands are `make run` and `make test`; both install what is missing.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
WIN32 := build/win32
BENCH := build/bench
FUZZ := build/fuzz
export WINEPREFIX := $(CURDIR)/build/wineprefix
export WINEDEBUG := -all
export WINEDLLOVERRIDES := mscoree,mshtml=;winemenubuilder.exe=d

.PHONY: all deps native win32 dist test test-native test-win32 run bench fuzz clean

all: dist

deps:
	@./scripts/ensure-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DTROVE_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win32: deps
	@cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

# The Windows program folder: trove.exe, spool.exe and the game's asset folders.
dist: win32 native
	@./scripts/make-dist.sh $(WIN32) $(NATIVE) dist

test: dist
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)
	@./scripts/wine-prefix.sh
	@./scripts/with-xvfb.sh ctest --test-dir $(WIN32) --output-on-failure

test-native: native
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)

run: dist
	@./scripts/wine-prefix.sh
	@./scripts/run.sh

bench: deps
	@cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DTROVE_SANITIZE=OFF -DTROVE_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j $(JOBS) --target trove_bench
	@$(BENCH)/trove_bench --benchmark_color=false

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTROVE_SANITIZE=ON -DTROVE_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS) --target bmp_asset_fuzz bmp_header_fuzz picture_decoder_fuzz picture_loader_fuzz
	@./scripts/fuzz.sh $(FUZZ)

clean:
	rm -rf build dist out
