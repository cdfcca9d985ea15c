# Lumafex: `make run` and `make test` are all a new machine needs.
BUILD      ?= build
ASAN_BUILD ?= build-asan
RELEASE_BUILD ?= build-release
CLANG_BUILD ?= build-clang
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
# Seconds each fuzz target runs in `make fuzz`.
FUZZ_SECONDS ?= 60
# Where `make lint` starts comparing: files changed since the merge base with this ref are checked.
LINT_BASE  ?= main
LAUNCHER   := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps configure build test run bench test-sanitize test-release test-clang fuzz lint clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The developer targets below treat warnings as errors; `make run` and `make build` do not.
test: configure
	cmake -S . -B $(BUILD) -DLUMAFEX_WERROR=ON >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run

bench: build
	$(BUILD)/bench/lumafex-bench-patterns
	$(BUILD)/bench/lumafex-bench-compile
	$(BUILD)/bench/lumafex-bench-import
	$(BUILD)/bench/lumafex-bench-preview
	$(BUILD)/bench/lumafex-bench-render
	$(BUILD)/bench/lumafex-bench-heavy

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMAFEX_SANITIZE=ON -DLUMAFEX_BUILD_BENCH=OFF \
	  -DLUMAFEX_WERROR=ON $(LAUNCHER)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# What packagers build: -O3, GCC.
test-release: deps
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMAFEX_BUILD_BENCH=OFF \
	  -DLUMAFEX_WERROR=ON $(LAUNCHER)
	cmake --build $(RELEASE_BUILD) -j $(JOBS)
	cd $(RELEASE_BUILD) && ctest --output-on-failure -j $(JOBS)

# The other compiler.
test-clang: deps
	cmake -S . -B $(CLANG_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DLUMAFEX_BUILD_BENCH=OFF -DLUMAFEX_WERROR=ON $(LAUNCHER)
	cmake --build $(CLANG_BUILD) -j $(JOBS)
	cd $(CLANG_BUILD) && ctest --output-on-failure -j $(JOBS)

# libFuzzer targets (clang, ASan + UBSan), each run FUZZ_SECONDS from a seed corpus made of tests/data.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DLUMAFEX_FUZZ=ON -DLUMAFEX_BUILD_GUI=OFF -DLUMAFEX_BUILD_TESTS=OFF -DLUMAFEX_BUILD_BENCH=OFF \
	  -DLUMAFEX_WERROR=ON $(LAUNCHER)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run-all $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)

# clang-format and clang-tidy on the C++ files changed since the merge base with LINT_BASE
# (the whole tree is clean; checking only what changed keeps CI fast). Needs the compile database.
lint: configure
	scripts/lint $(BUILD) $(LINT_BASE)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(RELEASE_BUILD) $(CLANG_BUILD) $(FUZZ_BUILD)
