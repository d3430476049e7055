# A thin layer over CMake: "make run" and "make test" install what is missing and build first.
BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build test test-asan bench fuzz run screenshots package format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The tests under AddressSanitizer and UndefinedBehaviorSanitizer (clang), plus a replay of the
# committed fuzz corpus.
test-asan: deps
	@CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DORVANE_SANITIZE=ON -DORVANE_FUZZ=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# Builds only the benchmark programs and runs them: the engine against other regex engines, then
# folder reading, scanning, sorting and Find Next on a temporary tree of 200,000 files, then
# renaming and undoing 100,000 files, then the main form on 100,000 files: how soon Anhalten
# ends a run and whether a run keeps its pace over the whole list, then loading and saving a
# settings file of 20,000 and 100,000 keys, then the command line, then the column "Neuer Name"
# while the user types over 100,000 and 1,000,000 rows.
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target bench_engine bench_files bench_rename bench_view \
	  bench_settings bench_cli bench_live
	@$(BENCH_BUILD)/bench/bench_engine
	@$(BENCH_BUILD)/bench/bench_files
	@$(BENCH_BUILD)/bench/bench_rename
	@$(BENCH_BUILD)/bench/bench_view
	@$(BENCH_BUILD)/bench/bench_settings
	@$(BENCH_BUILD)/bench/bench_cli
	@$(BENCH_BUILD)/bench/bench_live

# Fuzzes for new inputs for FUZZ_SECONDS (default 60), starting from the committed corpus. Finds
# go to $(ASAN_BUILD)/fuzz/engine-new and crashes to $(ASAN_BUILD)/fuzz/crash-*; the committed
# corpus is only read. To keep the inputs that add coverage, merge them into a fresh folder and
# replace fuzz/corpus/engine with it:
#   $(ASAN_BUILD)/fuzz/fuzz_engine -merge=1 NEW fuzz/corpus/engine $(ASAN_BUILD)/fuzz/engine-new
FUZZ_SECONDS ?= 60
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DORVANE_SANITIZE=ON -DORVANE_FUZZ=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target fuzz_engine
	@mkdir -p $(ASAN_BUILD)/fuzz/engine-new
	@$(ASAN_BUILD)/fuzz/fuzz_engine -max_total_time=$(FUZZ_SECONDS) -max_len=512 \
	  -dict=fuzz/engine.dict -artifact_prefix=$(ASAN_BUILD)/fuzz/ \
	  $(ASAN_BUILD)/fuzz/engine-new fuzz/corpus/engine

# Started from the source tree, the program offers the example patterns as an installed one
# does: the machine file comes first in XDG_CONFIG_DIRS, before one an installation put in place.
run: build
	@mkdir -p $(BUILD)/xdg/Orvane && cp res/patterns/Orvane.reg $(BUILD)/xdg/Orvane/Orvane.reg
	@XDG_CONFIG_DIRS=$(CURDIR)/$(BUILD)/xdg:$${XDG_CONFIG_DIRS:-/etc/xdg} $(BUILD)/app/orvane

# Screenshots of the program under Xvfb (both views, options, About) into $(BUILD)/screenshots.
screenshots: build
	@BUILD=$(CURDIR)/$(BUILD) scripts/screenshots

# A Debian package (CPack) of what "cmake --install" installs, as $(BUILD)/orvane_<version>_<arch>.deb.
package: build
	@cd $(BUILD) && cpack -G DEB

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
