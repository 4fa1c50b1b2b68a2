# The two commands a new machine needs:
#   make run  [ARGS="report.tjr"]   install what is missing, build, start the program
#   make test                       install what is missing, build, run every test, then run them
#                                   again built with AddressSanitizer and UndefinedBehaviorSanitizer,
#                                   the threaded tests under ThreadSanitizer, and the Windows build's
#                                   tests under Wine
# For Windows (cross-built with MinGW-w64, run under Wine; see README.md, "Windows"):
#   make windows                    build-windows/vr5xp-<version>-windows-x64.zip and the installer
#   make test-windows               the unit tests and the program under Wine, against Linux's
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
TSAN_BUILD ?= build-tsan
WIN_BUILD  ?= build-windows
ARGS       ?=
JOBS       ?= 2

# A compiler cache, where the machine has one, makes rebuilds in fresh build folders quick.
CCACHE    := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CONFIGURE = cmake -S . -G Ninja -Wno-dev $(CCACHE)

.PHONY: setup setup-windows windows test-windows test-windows-if-wine build run test check test-sanitize test-thread package fuzz faults bench samples demo clean format

setup:
	@scripts/setup

setup-windows:
	@scripts/setup windows

build: setup
	@$(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/app/vr5xp $(ARGS)

# The whole suite, then the whole suite again under the sanitizers (which also replays the
# fuzz corpus), then the Windows build under Wine.
test: setup-windows check test-sanitize test-thread test-windows-if-wine

check: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: setup
	@$(CONFIGURE) -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVR5XP_SANITIZE=address,undefined \
	  -DVR5XP_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# The serial port's threads under ThreadSanitizer: the port's own tests and the end-to-end tests
# with the logger emulator.
test-thread: setup
	@$(CONFIGURE) -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVR5XP_SANITIZE=thread \
	  -DVR5XP_BENCH=OFF >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target vr5_platform_tests vr5_e2e_tests vr5emu
	QT_QPA_PLATFORM=offscreen TSAN_OPTIONS=halt_on_error=1 $(TSAN_BUILD)/tests/platform/vr5_platform_tests
	QT_QPA_PLATFORM=offscreen TSAN_OPTIONS=halt_on_error=1 $(TSAN_BUILD)/tests/e2e/vr5_e2e_tests

# Coverage-guided fuzzing with clang's libFuzzer, for FUZZ_SECONDS: FUZZ_TARGET is
# report_decoder (report files), logger_replies (the logger's reply lines), logging_cycle,
# calibration_loader (calibration files) or procedure_file (procedure files).
FUZZ_SECONDS ?= 60
FUZZ_TARGET  ?= report_decoder
fuzz: setup
	@CXX=clang++ $(CONFIGURE) -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVR5XP_FUZZ=ON \
	  -DVR5XP_TESTS=OFF -DVR5XP_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_$(FUZZ_TARGET)
	@mkdir -p $(FUZZ_BUILD)/fuzz/corpus-work-$(FUZZ_TARGET)
	$(FUZZ_BUILD)/fuzz/fuzz_$(FUZZ_TARGET) -max_total_time=$(FUZZ_SECONDS) \
	  -artifact_prefix=$(FUZZ_BUILD)/fuzz/ \
	  $(FUZZ_BUILD)/fuzz/corpus-work-$(FUZZ_TARGET) fuzz/corpus/$(FUZZ_TARGET) \
	  $(if $(filter report_decoder,$(FUZZ_TARGET)),$(FUZZ_BUILD)/fuzz/corpus-work) \
	  $(if $(filter procedure_file,$(FUZZ_TARGET)),data/procedures)

# The fault campaign (about an hour): every fuzz target for FAULT_SECONDS (default 600), then
# FAULT_KILLS (default 100) kills each of Append Notes and of a download; see scripts/faults.
# A quick run: make faults FAULT_SECONDS=10 FAULT_KILLS=5
faults: setup
	@BUILD=$(BUILD) FUZZ_BUILD=$(FUZZ_BUILD) JOBS=$(JOBS) scripts/faults

bench: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/vr5xp_bench
	@for b in serial_bench download_bench print_many_bench notes_bench analyzer_bench evaluation_bench \
	  calibration_bench live_phase_tracker_bench guide_panel_bench archive_bench; do \
	  if [ -x $(BUILD)/bench/$$b ]; then QT_QPA_PLATFORM=offscreen $(BUILD)/bench/$$b || exit 1; fi; done

# A Debian package of the program (build/vr5xp_<version>_<arch>.deb).
package: build
	cd $(BUILD) && cpack -G DEB

# Sample reports made from the test descriptions, for trying the program by hand.
samples: build
	@mkdir -p samples
	@for f in tests/fixtures/*.txt; do \
	  $(BUILD)/tools/tjrgen/tjrgen $$f -o samples/$$(basename $$f .txt).tjr || exit 1; done
	@echo "Sample reports are in samples/"

# The program with the logger emulator on its serial port, for trying it without a logger.
demo: build
	@BUILD=$(BUILD) scripts/demo $(ARGS)

# The Windows program, its zip file and its installer (scripts/build-windows finds the Qt kit).
windows: setup-windows
	@WIN_BUILD=$(WIN_BUILD) JOBS=$(JOBS) scripts/package-windows

# The Windows build's unit tests and program under Wine, compared with the Linux build's output.
test-windows: setup-windows build
	@BUILD=$(BUILD) WIN_BUILD=$(WIN_BUILD) JOBS=$(JOBS) tests/windows/run-tests

# Part of make test where Wine is installed and a Qt for Windows is at hand; said when left out.
test-windows-if-wine:
	@if ! command -v wine >/dev/null 2>&1 && [ ! -x /usr/lib/wine/wine64 ]; then \
	  echo "Wine is not installed: the Windows tests are left out (make setup-windows)"; \
	elif ! scripts/build-windows --kit >/dev/null 2>&1; then \
	  echo "No Qt for Windows: the Windows tests are left out (scripts/build-windows --kit tells why)"; \
	else $(MAKE) --no-print-directory test-windows; fi

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(TSAN_BUILD) $(WIN_BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
