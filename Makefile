# Lumafex: `make run` and `make test` are all a new machine needs.
BUILD     ?= build
ASAN_BUILD ?= build-asan
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build test run bench test-sanitize clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run

bench: build
	$(BUILD)/bench/lumafex-bench-patterns
	$(BUILD)/bench/lumafex-bench-compile
	$(BUILD)/bench/lumafex-bench-preview

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMAFEX_SANITIZE=ON -DLUMAFEX_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
