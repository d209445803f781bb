# Thin wrapper over the CMake presets.
PRESETS := native asan windows

.PHONY: all setup test demo bench clean native asan windows

all: setup native windows

setup:
	@bash scripts/setup.sh

configure-%:
	@cmake --preset $* >/dev/null

native asan windows: %: setup configure-%
	cmake --build --preset $*

test: setup
	@set -e; for p in $(PRESETS); do \
	  cmake --preset $$p >/dev/null && cmake --build --preset $$p && ctest --preset $$p; \
	done

bench: setup native
	cmake --build --preset native --target bench

demo: setup native
	@bash scripts/demo.sh

clean:
	rm -rf build
