# The two commands of the README, and a few more for developers.
#   make run    install what is missing, build, play the demo game (headless with screenshots
#               where no window can be opened)
#   make test   install what is missing, build with sanitizers, run every test and the fuzzers
#               (each for TEST_FUZZ_RUNS inputs)
#   make bench  build optimised and run the benchmarks
#   make fuzz   build the fuzzers with clang and run each for FUZZ_RUNS inputs
#   make install  the player, the demo, the manual page and the desktop entry under PREFIX

JOBS ?= $(shell nproc)
FUZZ_RUNS ?= 20000
TEST_FUZZ_RUNS ?= 5000
GAME ?= build/release/demo
SHOTS ?= build/demo-shots
PREFIX ?= /usr/local

.PHONY: deps run test build-debug build-release bench fuzz install clean

deps:
	@scripts/install-deps.sh

build-release: deps
	@cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTUMU_TESTS=OFF >/dev/null
	@MAKEFLAGS= cmake --build build/release -j $(JOBS)

run: build-release
	@scripts/play-demo.sh build/release/tumu $(GAME) $(SHOTS)

# Uses sudo when the prefix is not ours to write, as scripts/install-deps.sh does.
install: build-release
	@if [ -w "$(PREFIX)" ] || { [ ! -e "$(PREFIX)" ] && [ -w "$$(dirname "$(PREFIX)")" ]; }; then \
	  cmake --install build/release --prefix "$(PREFIX)"; \
	else \
	  sudo cmake --install build/release --prefix "$(PREFIX)"; \
	fi

build-debug: deps
	@cmake -S . -B build/debug -DCMAKE_BUILD_TYPE=Debug -DTUMU_SANITIZE=ON >/dev/null
	@MAKEFLAGS= cmake --build build/debug -j $(JOBS)

test: build-debug
	cd build/debug && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory fuzz FUZZ_RUNS=$(TEST_FUZZ_RUNS)

bench: deps
	@cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTUMU_TESTS=OFF -DTUMU_BENCH=ON >/dev/null
	@MAKEFLAGS= cmake --build build/bench -j $(JOBS)
	@echo "== $$(date -u '+%Y-%m-%d %H:%M UTC'), $$(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $$(nproc) cores"
	@# The window benchmarks get a virtual X server of their own.
	@for b in build/bench/bench_*; do echo "== $$b"; case $$b in \
	  *sdl*) SDL_AUDIODRIVER=dummy scripts/run-under-xvfb.sh $$b ;; \
	  *) $$b ;; esac; done

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUMU_FUZZ=ON -DTUMU_TESTS=OFF >/dev/null
	@MAKEFLAGS= cmake --build build/fuzz -j $(JOBS)
	@# The fuzz targets keep one engine and the font's glyph cache from input to input on purpose,
	@# so leak checks after each input would only rescan them; memory errors are still caught.
	@for f in build/fuzz/fuzz_*; do \
	  name=$$(basename $$f); mkdir -p build/fuzz/corpus/$$name build/fuzz/logs; \
	  echo "== $$name ($(FUZZ_RUNS) runs)"; \
	  if ! $$f -runs=$(FUZZ_RUNS) -max_len=65536 -rss_limit_mb=2048 -detect_leaks=0 \
	      build/fuzz/corpus/$$name fuzz/seeds/$$name > build/fuzz/logs/$$name.log 2>&1; then \
	    cat build/fuzz/logs/$$name.log; echo "== $$name FAILED"; exit 1; \
	  fi; \
	  tail -n 1 build/fuzz/logs/$$name.log; \
	done

clean:
	rm -rf build
