# Quillora TemplateEditor: the two commands of the README, over CMake.
#   make demo   builds everything and shows what was built
#   make test   builds everything and runs both test tiers (native, and Windows under Wine)

BUILD     := $(CURDIR)/build
JOBS      ?= $(shell nproc)
WINE_RUN  := $(CURDIR)/scripts/wine-run
export WINEPREFIX := $(BUILD)/wineprefix
export WINEDEBUG  := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
# The build says what it builds, warnings and errors in full, without a line for every directory
# the inner makes enter.
MAKEFLAGS += --no-print-directory
# C.UTF-8: the locale every Debian machine has; Wine reads it as US English with code page 1252.
export LANG := C.UTF-8

.PHONY: all deps build native win64 win32 prefix test test-native test-windows installer test-installer demo measure bench clean

all: build

deps:
	@scripts/ensure-deps.sh

# One build tree per target: native (with the sanitizers), Windows x64 and Windows x86.
$(BUILD)/native/Makefile: | deps
	@cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
$(BUILD)/win64/Makefile: | deps
	@cmake -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
$(BUILD)/win32/Makefile: | deps
	@cmake -S . -B $(BUILD)/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null

native: $(BUILD)/native/Makefile
	@echo "== Building native: the portable code with the sanitizers, the tests, the Word model"
	@cmake --build $(BUILD)/native -j $(JOBS)
win64: $(BUILD)/win64/Makefile
	@echo "== Building win64: the add-in, wordsim and the Windows tests for x64"
	@cmake --build $(BUILD)/win64 -j $(JOBS)
win32: $(BUILD)/win32/Makefile
	@echo "== Building win32: the add-in and the Windows tests for x86"
	@cmake --build $(BUILD)/win32 -j $(JOBS)

build: native win64 win32

# The private Wine prefix of this build tree, created once.
prefix: deps
	@test -f $(WINEPREFIX)/system.reg || { echo "Creating Wine prefix $(WINEPREFIX)"; \
	  mkdir -p $(WINEPREFIX); $(WINE_RUN) wineboot >/dev/null 2>&1 || true; wineserver -w; }

test-native: native
	@echo "== Native tests"
	@cd $(BUILD)/native && ctest --output-on-failure -j $(JOBS)

# Windows programs need a display even for hidden windows: run the tier under Xvfb. Wine's own
# services are started first, away from ctest's pipes, which they would otherwise hold open.
# A test that fails is run once more: on a fresh machine Wine now and then loses a process at
# start (no output, gone in a few hundredths of a second); a real fault fails both runs.
# The x86 tree then runs what depends on the bitness: the x86 DLL's registration, 32-bit script
# clients using it, and its connection to Word; on a machine that starts no 32-bit programs
# (scripts/x86-runs.sh) it says so and leaves them out.
WINDOWS_X86_TESTS := windows\.(Registration|LateBoundClients|AddinConnection)\.
test-windows: win64 win32 prefix
	@echo "== Windows tests under Wine (x64, then the x86 subset)"
	@cd $(BUILD)/win64 && xvfb-run -a -s "-screen 0 1280x1024x24" \
	  sh -c 'wineserver -p; $(WINE_RUN) wineboot >/dev/null 2>&1 </dev/null; \
	         ctest --output-on-failure --repeat until-pass:2; rc=$$?; \
	         $(CURDIR)/scripts/x86-runs.sh "the x86 tests"; x86=$$?; [ $$x86 -eq 2 ] && rc=1; \
	         if [ $$x86 -eq 0 ]; then \
	           ctest --test-dir $(BUILD)/win32 -R "$(WINDOWS_X86_TESTS)" -E Soak --output-on-failure \
	             --repeat until-pass:2 || rc=1; fi; \
	         wineserver -k; exit $$rc'

# The per-user setup of both DLLs; its test installs, upgrades, runs Word and uninstalls in a Wine
# prefix of its own (build/installer-prefix), made afresh each run.
installer: win64 win32 | deps
	@scripts/build-installer.sh $(BUILD)

test-installer: installer
	@scripts/test-installer.sh $(BUILD)

test: build
	@scripts/check-layers.sh
	@$(MAKE) --no-print-directory test-native
	@$(MAKE) --no-print-directory fuzz-smoke
	@$(MAKE) --no-print-directory test-windows
	@$(MAKE) --no-print-directory test-installer
	@scripts/check-dll.sh $(BUILD)/win64/bin/QloraWordAddIn.dll x86_64
	@scripts/check-dll.sh $(BUILD)/win32/bin/QloraWordAddIn.dll i686

# The libFuzzer targets over the portable logic (fuzz/README.md), built with clang in build/fuzz:
# fuzz-smoke runs each for a few seconds over its corpus (every input in it, regressions included);
# fuzz runs each for FUZZ_SECONDS and merges what it learnt into fuzz/corpus (FUZZ_TARGETS: some).
.PHONY: fuzz fuzz-smoke
FUZZ_SECONDS ?= 300
FUZZ_TARGETS ?=
fuzz-smoke: | deps
	@JOBS=$(JOBS) scripts/fuzz.sh $(BUILD)/fuzz 5
fuzz: | deps
	@JOBS=$(JOBS) scripts/fuzz.sh $(BUILD)/fuzz $(FUZZ_SECONDS) --merge $(FUZZ_TARGETS)

demo: build prefix
	@scripts/demo.sh $(BUILD)

# What the add-in costs Word: its load and its steps in wordsim, the median of RUNS fresh starts.
RUNS ?= 25
measure: win64 prefix
	@xvfb-run -a -s "-screen 0 1280x1024x24" scripts/measure.sh $(BUILD) $(RUNS)

# Timings of the portable logic: a Release tree of its own, without the sanitizers. Not part of
# make test. BENCH_ARGS passes options to the benchmark program (e.g. --benchmark_filter=Template).
bench: | deps
	cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release -DQLORA_SANITIZE=OFF -DQLORA_BENCH=ON >/dev/null
	cmake --build $(BUILD)/bench --target qlora_bench -j $(JOBS)
	$(BUILD)/bench/bin/qlora_bench $(BENCH_ARGS)

clean:
	rm -rf $(BUILD)
