# Thin wrapper around scripts/ and CMake. `make run` and `make test` are all a
# fresh Debian 12 or 13 machine needs.
BUILD ?= build
SANITIZE_BUILD ?= $(BUILD)-sanitize
PACKAGE_BUILD ?= $(BUILD)-package
SANITIZED_TESTS = tst_number_words tst_frm_telvo tst_session tst_soak fuzz_number_words
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test test-debian13 bench measure fuzz package build sanitize-build clean format

build:
	@scripts/install-deps run
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Builds only the program, so that the clock is up quickly.
run:
	@scripts/install-deps run
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target telvo-clock
	$(BUILD)/telvo-clock

# The unit, widget, soak and fuzz tests built with clang under
# AddressSanitizer, LeakSanitizer and UBSan, then the whole suite.
test: sanitize-build
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DTELVO_REQUIRE_E2E=ON -DTELVO_WARNINGS_AS_ERRORS=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS) -L sanitize
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# `make test` on Debian 13 (Qt 6.8, clang 19, mutter 48), in a root of its own
# under the build folder, kept between runs. Needs root.
DEBIAN13_ROOT ?= $(BUILD)/debian13-root
test-debian13:
	@scripts/install-deps debian13
	@scripts/debian13-check $(DEBIAN13_ROOT) trixie

sanitize-build:
	@scripts/install-deps test
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
		-DTELVO_SANITIZE=ON -DTELVO_WARNINGS_AS_ERRORS=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target $(SANITIZED_TESTS)

fuzz: sanitize-build
	$(SANITIZE_BUILD)/tests/fuzz_number_words -max_total_time=$${FUZZ_SECONDS:-60} -max_len=64

# The program alone, with Debian's hardening flags, as a distribution builds it.
package:
	@scripts/install-deps package
	@export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
		-DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	@cd $(PACKAGE_BUILD) && cpack -G DEB

bench:
	@scripts/install-deps bench
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target telvo-bench
	$(BUILD)/bench/telvo-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

measure:
	@scripts/install-deps test
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@out=$$(cmake --build $(BUILD) -j $(JOBS) --target telvo-clock telvo-bare-window telvo-measure 2>&1) \
		|| { echo "$$out"; exit 1; }
	@scripts/measure $(BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(PACKAGE_BUILD)
