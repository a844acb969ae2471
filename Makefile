# Front door: `make test` builds both presets and runs every test; `make demo`
# runs the sample installation under Wine; `make fuzz` runs the fuzz targets
# for FUZZ_SECONDS each. All install missing packages first.
.PHONY: all deps host win test test-host test-win demo screenshots bench bench-config bench-process fuzz clean
FUZZ_SECONDS ?= 60

all: host win

deps:
	@tools/deps.sh

host: deps
	cmake --preset host >/dev/null
	cmake --build --preset host

win: deps
	cmake --preset win >/dev/null
	cmake --build --preset win

test-host: host
	ctest --preset host

test-win: win
	tools/wine-session.sh build/win ctest --preset win

# Both test runs always run; the target fails when either failed.
test: host win
	@rc=0; \
	ctest --preset host || rc=1; \
	tools/wine-session.sh build/win ctest --preset win || rc=1; \
	exit $$rc

demo: host win
	tools/wine-session.sh build/win tools/demo.sh build/win

# Times file installation against an NSIS installer of the same payload
# (makensis from the nsis package); not part of `make test`.
bench: win
	tools/wine-session.sh build/win python3 tools/bench-files.py build/win bench/results.md

# Captures the dialogs the cases of tests/e2e/shots show into build/screenshots/*.png; not part of `make test`.
screenshots: win
	tools/wine-session.sh build/win tools/screenshots.sh build/win

# Times the configuration editors under Wine; not part of `make test`.
bench-config: win
	cmake --build --preset win --target bench_config
	tools/wine-session.sh build/win wine build/win/bench/config/bench_config.exe | tee bench/config/results.md

# Times the running-process lookups under Wine; not part of `make test`.
bench-process: win
	cmake --build --preset win --target bench_process
	tools/wine-session.sh build/win wine build/win/bench/process/bench_process.exe | tee bench/process/results.md

# libFuzzer targets over the portable core (clang), FUZZ_SECONDS each
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	tools/fuzz.sh build/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build
