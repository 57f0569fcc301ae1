# Thin wrapper over the CMake presets; see README.md.
BUILD := build/linux
BIN := $(BUILD)/bin

.PHONY: all deps configure build run editor screenshot test bench clean

all: build

deps:
	tools/install-deps

configure: deps
	cmake --preset linux

build: configure
	cmake --build --preset linux

# Runs the scheduler once on the example schedule (unless a schedule is
# already there), then prints what it stored.
run: build
	@test -e $(BIN)/velkorn.txt || cp examples/velkorn.txt $(BIN)/velkorn.txt
	@echo "== $(BIN)/velkorn (schedule: $(BIN)/velkorn.txt)"
	@status=0; $(BIN)/velkorn || status=$$?; \
	echo "== exit status $$status; the three stored values:"; \
	$(BIN)/velkorn-settings; exit $$status

# Opens the editor on the schedule beside the built programs.
editor: build
	@test -e $(BIN)/velkorn.txt || cp examples/velkorn.txt $(BIN)/velkorn.txt
	$(BIN)/velkorn-editor

# Renders the editor's window with the example schedule to docs/.
screenshot: build
	QT_QPA_PLATFORM=offscreen $(BIN)/editor-screenshot examples/velkorn.txt docs/editor-linux.png

test: build
	ctest --preset linux

bench: build
	bench/run-bench $(BUILD)

clean:
	rm -rf build
