# Trove's two set-up commands are `make run` and `make test`; both install what is missing.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
# How long `make test` runs each fuzz target; `make fuzz` alone runs FUZZ_SECONDS (60) each.
TEST_FUZZ_SECONDS ?= 5
MAKEFLAGS += --no-print-directory
NATIVE := build/native
WIN32 := build/win32
BENCH := build/bench
FUZZ := build/fuzz
TOOLS := build/tools
LINUX := build/linux
TSAN := build/tsan
PREFIX ?= /usr/local
# Where `make package` writes the Debian package and the Windows zip (TROVE_PACKAGE_DIR).
PACKAGES := build/packages
export WINEPREFIX := $(CURDIR)/build/wineprefix
export WINEDEBUG := -all
export WINEDLLOVERRIDES := mscoree,mshtml=;winemenubuilder.exe=d
# The drive library (tools/trovedrive) for the tour; CTest hands it to the tests the same way.
export PYTHONPATH := $(CURDIR)/tools$(if $(PYTHONPATH),:$(PYTHONPATH))

.PHONY: all deps native tsan win32 win32-configure linux linux-configure generators dist dist-linux \
	test test-native run run-wine install package bench fuzz format check-format clean

all: dist

deps:
	@./scripts/setup/ensure-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DTROVE_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win32-configure: deps
	@cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DTROVE_PACKAGE_DIR=$(CURDIR)/$(PACKAGES) >/dev/null

# Everything of the Windows build: the program, the player and the tests that run under Wine.
win32: win32-configure
	@cmake --build $(WIN32) -j $(JOBS)

# The asset and sample generators alone, optimised and without sanitisers.
generators: deps
	@cmake -S . -B $(TOOLS) -DCMAKE_BUILD_TYPE=Release -DTROVE_SANITIZE=OFF >/dev/null
	@cmake --build $(TOOLS) -j $(JOBS) --target make_assets make_samples

linux-configure: deps
	@cmake -S . -B $(LINUX) -DCMAKE_BUILD_TYPE=Release -DTROVE_SANITIZE=OFF -DTROVE_LINUX=ON \
	  -DTROVE_PACKAGE_DIR=$(CURDIR)/$(PACKAGES) >/dev/null

# Everything of the Linux build: the program, its player and the end-to-end test helper.
linux: linux-configure
	@cmake --build $(LINUX) -j $(JOBS)

# The Windows program folder: trove.exe, spool.exe, the game's asset folders and samples/.
# It is laid out anew every time, so it is always whole.
dist: win32-configure generators
	@cmake --build $(WIN32) -j $(JOBS) --target trove spool
	@./scripts/build/make-dist.sh $(WIN32) $(TOOLS) dist .exe

# The Linux program folder, laid out like dist/: trove, spool and the same asset folders.
dist-linux: linux-configure generators
	@cmake --build $(LINUX) -j $(JOBS) --target trove spool
	@./scripts/build/make-dist.sh $(LINUX) $(TOOLS) dist-linux

# The Windows program's tests (one at a time under the one Wine prefix) run beside the Linux
# program's (side by side, each on a display of its own); the former's output follows.
test: check-format native win32 linux dist dist-linux package
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)
	@./scripts/setup/wine-prefix.sh
	@./scripts/setup/with-xvfb.sh ctest --test-dir $(WIN32) --output-on-failure -j $(JOBS) \
	  >$(WIN32)/ctest.log 2>&1 & wine=$$!; \
	  ctest --test-dir $(LINUX) --output-on-failure -j $(JOBS); linux=$$?; \
	  wait $$wine; wine=$$?; cat $(WIN32)/ctest.log; [ $$wine -eq 0 ] && [ $$linux -eq 0 ]
	@FUZZ_SECONDS=$(TEST_FUZZ_SECONDS) $(MAKE) fuzz
	@$(MAKE) tsan

# The tests of the threaded parts (the page decoders, the kept thumbnails, the input latches,
# the Linux listing read on one thread and sorted on another) once more under
# ThreadSanitizer, in a tree of their own.
tsan: deps
	@cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=Debug -DTROVE_SANITIZE=OFF -DTROVE_TSAN=ON >/dev/null
	@cmake --build $(TSAN) -j $(JOBS) --target browser_tests input_tests posix_tests
	@TSAN_OPTIONS=halt_on_error=1 $(TSAN)/browser_tests --gtest_brief=1 \
	  --gtest_filter='PagesInPassesTest.*:ThumbnailPagesTest.*'
	@TSAN_OPTIONS=halt_on_error=1 $(TSAN)/input_tests --gtest_brief=1
	@TSAN_OPTIONS=halt_on_error=1 $(TSAN)/posix_tests --gtest_brief=1 \
	  --gtest_filter='LinuxFilesTest.*:ListingOrderTest.*'

test-native: native
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)

# The Linux program; `make run-wine` runs the Windows program under Wine instead. Without a
# display they run the tour, which also needs the helper that closes windows and lists folders.
run: dist-linux
	@cmake --build $(LINUX) -j $(JOBS) --target x11_helper
	@./scripts/build/run.sh linux

run-wine: dist
	@cmake --build $(WIN32) -j $(JOBS) --target e2e_helper
	@./scripts/setup/wine-prefix.sh
	@./scripts/build/run.sh wine

# The Linux program installed under $(PREFIX) (bin/trove, lib/trove/spool, share/trove/ with the
# game's assets, the menu entry, the icon, the manual page and share/doc/trove/), below
# $(DESTDIR) when that is given, as a package build stages it.
install: linux
	@DESTDIR="$(if $(DESTDIR),$(abspath $(DESTDIR)))" cmake --install $(LINUX) --prefix $(PREFIX)

# $(PACKAGES)/trove_VERSION_amd64.deb (CPack, its Depends from dpkg-shlibdeps) and
# $(PACKAGES)/trove-VERSION-win32.zip (the whole dist/ folder).
package: linux dist
	@cd $(LINUX) && cpack --config CPackConfig.cmake | grep -F 'CPack: - package:'
	@cmake --build $(WIN32) --target package_zip | grep -F 'Packing'

bench: deps
	@cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DTROVE_SANITIZE=OFF -DTROVE_BENCH=ON >/dev/null
	@cmake --build $(BENCH) -j $(JOBS) --target trove_bench
	@$(BENCH)/trove_bench --benchmark_color=false

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTROVE_SANITIZE=ON -DTROVE_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS) --target bmp_asset_fuzz bmp_header_fuzz picture_decoder_fuzz picture_loader_fuzz \
	  make_format_samples
	@./scripts/checks/fuzz.sh $(FUZZ)

# One style for all of the project's C++: `make format` rewrites, `check-format` only reports.
FORMATTED = $(shell git ls-files '*.cpp' '*.h' | grep -v '^tests/data/')
format:
	@clang-format -i $(FORMATTED)

check-format: deps
	@clang-format --dry-run --Werror $(FORMATTED) || \
	  { echo "Unformatted source: run 'make format'." >&2; exit 1; }

clean:
	rm -rf build dist dist-linux out
