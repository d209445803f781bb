# Thin wrapper over the CMake presets.
PRESETS := native asan windows fuzz
# How long `make fuzz` runs each fuzz target.
FUZZ_SECONDS ?= 600

.PHONY: all setup test test-vapoursynth wheel demo bench fuzz mutate clean native asan windows

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
	@bash vapoursynth/tests/run_tests.sh

# The VapourSynth plugin alone: its wheel built by pip, installed beside the
# newest core in a venv of its own (build/vapoursynth-venv), and its tests.
test-vapoursynth: setup native
	@bash vapoursynth/tests/run_tests.sh

# The plugin as a manylinux_2_28 binary wheel in build/wheelhouse, repaired
# by auditwheel and checked in a fresh venv (scripts/wheel.sh).
wheel: setup
	@bash scripts/wheel.sh

# The CPU routes are what it times: no device is visible to it, whatever
# driver the machine has.
bench: setup native
	CUDA_VISIBLE_DEVICES= cmake --build --preset native --target bench
	CUDA_VISIBLE_DEVICES= cmake --build --preset native --target bench_vapoursynth

fuzz: setup configure-fuzz
	cmake --build --preset fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --preset fuzz -R '_short$$' --timeout $$(( $(FUZZ_SECONDS) + 300 ))

# Mutation testing of a change: MUTANTS faults (default 40) on the product
# lines changed since BASE (default: where this branch left main), each built
# and run against the tests covering its file; the report is in build/mutate/.
mutate: setup native
	@bash scripts/mutate.sh $(if $(AGAIN),--again,$(BASE))

demo: setup native
	@bash scripts/demo.sh

clean:
	rm -rf build
