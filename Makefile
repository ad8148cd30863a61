# Thin wrapper over CMake presets. `make test` is the one command that installs, builds and tests.
JOBS ?= $(shell nproc)

.PHONY: all deps build run test asan asan-test bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

# The main job on the embedded default; `make run OPEN=3` also opens the third document.
run: build
	@scripts/run-demo $(if $(OPEN),--open $(OPEN)) $(if $(FRESH),--fresh)

test: build
	@ctest --preset default -j $(JOBS)

asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)

asan-test: asan
	@ctest --preset asan -j $(JOBS)

bench: build
	@for b in build/default/bin/bench_*; do $$b; done

clean:
	rm -rf build
