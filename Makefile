# Lumafex: `make run` and `make test` are all a new machine needs.
BUILD      ?= build
SANITIZE_BUILD ?= build-sanitize
RELEASE_BUILD ?= build-release
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
# Seconds each fuzz target runs in `make fuzz`, and how many run at once.
FUZZ_SECONDS ?= 60
FUZZ_JOBS  ?= $(JOBS)
# Where `make lint` starts comparing: files changed since the merge base with this ref are checked.
LINT_BASE  ?= main
LAUNCHER   := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# The release build is what packagers build: -O3 with GCC, the prefix /usr (which the package's
# manual pages name) and the hardening flags of a Debian package
# (dpkg-buildflags, without its -g: the package is stripped anyway). Expanded when the recipe runs,
# after `deps` has installed dpkg-dev.
HARDENING       = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
RELEASE_CXXFLAGS = $(filter-out -g,$(shell $(HARDENING) CXXFLAGS) $(shell $(HARDENING) CPPFLAGS))
RELEASE_LDFLAGS  = $(shell $(HARDENING) LDFLAGS)

.PHONY: all deps configure build test run bench test-sanitize test-clang fuzz test-release \
        release-configure package check-package lint clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The developer targets below treat warnings as errors; `make run` and `make build` do not.
# `make test` builds the programs and every test (no benchmark programs) and runs the tests.
test: configure
	cmake -S . -B $(BUILD) -DLUMAFEX_WERROR=ON -DLUMAFEX_BUILD_BENCH=OFF >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run

bench: configure
	cmake -S . -B $(BUILD) -DLUMAFEX_BUILD_BENCH=ON >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	$(BUILD)/bench/lumafex-bench-patterns
	$(BUILD)/bench/lumafex-bench-compile
	$(BUILD)/bench/lumafex-bench-import
	$(BUILD)/bench/lumafex-bench-preview
	$(BUILD)/bench/lumafex-bench-render
	$(BUILD)/bench/lumafex-bench-heavy

# The other compiler and the sanitizers in one build: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer runs every test. The same build holds the libFuzzer targets (the core is
# compiled with the fuzzer's coverage too), which `make fuzz` then runs.
SANITIZE_CONFIGURE = cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DLUMAFEX_SANITIZE=ON -DLUMAFEX_FUZZ=ON \
	  -DLUMAFEX_BUILD_BENCH=OFF -DLUMAFEX_WERROR=ON $(LAUNCHER)

test-sanitize: deps
	$(SANITIZE_CONFIGURE)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j $(JOBS)

# The former separate clang build is the sanitizer build.
test-clang: test-sanitize

# libFuzzer targets (clang, ASan + UBSan), each run FUZZ_SECONDS from a seed corpus made of tests/data,
# FUZZ_JOBS at a time. Builds only the fuzz targets (and the core) when the sanitizer build is fresh.
fuzz: deps
	$(SANITIZE_CONFIGURE)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target lumafex_fuzz_targets
	fuzz/run-all $(SANITIZE_BUILD)/fuzz $(FUZZ_SECONDS) $(FUZZ_JOBS)

release-configure: deps
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DLUMAFEX_BUILD_BENCH=OFF -DLUMAFEX_WERROR=ON -DCMAKE_CXX_FLAGS="$(RELEASE_CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(RELEASE_LDFLAGS)" \
	  $(LAUNCHER)

test-release: release-configure
	cmake -S . -B $(RELEASE_BUILD) -DLUMAFEX_BUILD_TESTS=ON >/dev/null
	cmake --build $(RELEASE_BUILD) -j $(JOBS)
	cd $(RELEASE_BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package lumafex_<version>_amd64.deb, built in the release build (without its tests,
# unless they are built already) and left in $(RELEASE_BUILD).
package: release-configure
	cmake -S . -B $(RELEASE_BUILD) -DLUMAFEX_BUILD_TESTS=OFF >/dev/null
	cmake --build $(RELEASE_BUILD) -j $(JOBS) --target package

# The packager's checks of that package: lintian, the desktop entry, the MIME type, the AppStream
# data, the manual pages, and the programs run from the package unpacked into an empty directory.
check-package: package
	scripts/check-package $(RELEASE_BUILD)

# clang-format and clang-tidy on the C++ files changed since the merge base with LINT_BASE
# (the whole tree is clean; checking only what changed keeps CI fast). Needs the compile database.
lint: configure
	scripts/lint $(BUILD) $(LINT_BASE)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(RELEASE_BUILD)
