# Thin wrapper over the CMake presets; see README.md.
# The programs in build/linux; the same with their tests and benchmarks in
# build/linux-tests: each preset keeps its own cache.
BUILD := build/linux
BIN := $(BUILD)/bin
TESTS_BUILD := build/linux-tests

.PHONY: all deps test-deps dist-deps configure build run editor screenshot test bench clean install uninstall dist

# make install: for the current user. Packagers: make install PREFIX=/usr DESTDIR=...
PREFIX ?= $(HOME)/.local

all: build

# What building and running the programs needs; what the tests need besides;
# what the Windows programs need.
deps:
	tools/install-deps build
test-deps:
	tools/install-deps test
dist-deps:
	tools/install-deps dist

# The programs alone: no tests, no benchmarks (their packages may be absent).
configure: deps
	cmake --preset linux

build: configure
	cmake --build --preset linux

# The programs with their tests and benchmarks.
build-tests: deps test-deps
	cmake --preset linux-tests
	cmake --build --preset linux-tests

# Runs the scheduler once on the example schedule (unless a schedule is
# already there), then prints what it stored.
run: build
	@test -e $(BIN)/velkorn.txt || cp examples/velkorn.txt $(BIN)/velkorn.txt
	@echo "== $(BIN)/velkorn (schedule: $(BIN)/velkorn.txt; it writes the settings file $${XDG_CONFIG_HOME:-$$HOME/.config}/orangesoft/winbiff.conf)"
	@status=0; $(BIN)/velkorn || status=$$?; \
	echo "== exit status $$status; the three stored values:"; \
	$(BIN)/velkorn-settings; exit $$status

# Opens the editor on the schedule beside the built programs.
editor: build
	@test -e $(BIN)/velkorn.txt || cp examples/velkorn.txt $(BIN)/velkorn.txt
	$(BIN)/velkorn-editor

# Renders the editor's windows with the example schedule to docs/, its dated
# days marked and a bitmap (the icon) previewed in the file box's tooltip:
# the Qt window offscreen, the Win32 window under Wine.
SHOT_BITMAP := $(BUILD)/screenshot/スマイル.bmp
screenshot: build test-deps
	mkdir -p $(dir $(SHOT_BITMAP))
	convert $(BUILD)/icon/velkorn-256.png -background white -flatten BMP3:$(SHOT_BITMAP)
	QT_QPA_PLATFORM=offscreen $(BIN)/editor-screenshot examples/velkorn.txt docs/editor-linux.png $(SHOT_BITMAP)
	tools/screenshot-windows docs/editor-windows.png $(SHOT_BITMAP)

# Every test: the Linux build, the same under AddressSanitizer and UBSan,
# the fuzz targets for a bounded number of inputs each, then the Windows
# build under Wine.
test: build-tests test-asan test-fuzz
	ctest --preset linux-tests
	$(MAKE) test-mingw

.PHONY: build-tests test-asan test-fuzz fuzz

test-asan: deps test-deps
	cmake --preset linux-asan
	cmake --build --preset linux-asan
	ctest --preset linux-asan

test-fuzz: deps test-deps
	cmake --preset fuzz
	cmake --build --preset fuzz --target fuzz_targets
	ctest --preset fuzz

# Runs each fuzz target for FUZZ_SECONDS (default 600), new inputs kept in
# build/fuzz/tests/fuzz/corpus/.
FUZZ_SECONDS ?= 600
fuzz: deps test-deps
	cmake --preset fuzz
	cmake --build --preset fuzz --target fuzz_targets
	@for target in due settings; do \
	  echo "== fuzz_$$target for $(FUZZ_SECONDS) s"; \
	  (cd build/fuzz/tests/fuzz && ../../bin/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) \
	    corpus/$$target $(CURDIR)/tests/fuzz/corpus/$$target) || exit 1; \
	done

.PHONY: build-mingw test-mingw install-wine uninstall-wine

# The Windows programs, 32-bit, into build/mingw/bin/ (velkorn.exe).
build-mingw: dist-deps
	cmake --preset mingw -DVELKORN_BUILD_TESTS=OFF
	cmake --build --preset mingw --target velkorn velkorn-editor velkorn-check velkorn-task

# The Windows tests run under Wine. A host that cannot execute 32-bit code
# (some virtual machines) cannot run 32-bit Wine either: there the 32-bit
# build is only checked, and the same sources are tested as a 64-bit build.
# VELKORN_WINE64_ONLY=1 takes that path on any host.
test-mingw: dist-deps test-deps
	cmake --preset mingw -DVELKORN_BUILD_TESTS=ON
	@if [ -z "$$VELKORN_WINE64_ONLY" ] && tools/wine-run --arch win32 --can-run; then \
	  cmake --build --preset mingw && ctest --preset mingw; \
	else \
	  echo "== no 32-bit Wine here: checking the 32-bit programs, testing a 64-bit build"; \
	  cmake --build --preset mingw --target velkorn velkorn-editor velkorn-check velkorn-task && \
	  tools/check-exe i686-w64-mingw32-objdump build/mingw/bin/velkorn.exe pei-i386 && \
	  tools/check-exe i686-w64-mingw32-objdump build/mingw/bin/velkorn-editor.exe pei-i386 && \
	  tools/check-exe i686-w64-mingw32-objdump build/mingw/bin/velkorn-check.exe pei-i386 console && \
	  tools/check-exe i686-w64-mingw32-objdump build/mingw/bin/velkorn-task.exe pei-i386 console && \
	  cmake --preset mingw64 -DVELKORN_BUILD_TESTS=ON && cmake --build --preset mingw64 && ctest --preset mingw64; \
	fi

# The programs into $(PREFIX)/lib/velkorn, links in $(PREFIX)/bin, the desktop
# entry, the icon and the daily timer; see README.md.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# Removes what make install put there, except the schedule velkorn.txt.
uninstall:
	DESTDIR="$(DESTDIR)" tools/uninstall "$(PREFIX)"

# The Windows zip: dist/velkorn-<version>-win32.zip.
dist: dist-deps
	cmake --preset mingw -DVELKORN_BUILD_TESTS=OFF
	cmake --build --preset mingw --target dist

# The Windows programs under Wine, for the mail checker run there: into a
# folder of $(WINEPREFIX) (default ~/.wine), with a daily timer of their own
# and the editor in the desktop's menu; see README.md.
# The 32-bit programs, or on a host that cannot run 32-bit code, the same
# sources 64-bit.
install-wine: dist-deps
	tools/install-deps wine
	@if tools/wine-run --arch win32 --can-run; then preset=mingw; else preset=mingw64; fi; \
	cmake --preset $$preset -DVELKORN_BUILD_TESTS=OFF && \
	cmake --build --preset $$preset --target velkorn velkorn-editor velkorn-check && \
	tools/install-wine install build/$$preset/bin examples/velkorn.txt

# Removes what install-wine put there, except the schedule velkorn.txt.
uninstall-wine:
	tools/install-wine uninstall

bench: build-tests
	bench/run-bench $(TESTS_BUILD)

clean:
	rm -rf build
