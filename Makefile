# Thin wrapper around scripts/ and CMake. `make run` and `make test` are all a
# fresh Debian 12 machine needs.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test bench measure build clean format

build:
	@scripts/install-deps run
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/telvo-clock

test:
	@scripts/install-deps test
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench:
	@scripts/install-deps bench
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DTELVO_BENCH=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target telvo-bench
	$(BUILD)/bench/telvo-bench

measure:
	@scripts/install-deps test
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target telvo-clock telvo-bare-window telvo-measure
	scripts/measure $(BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
