# Set-up: `make run` builds and starts the simulation, `make test` builds and
# runs every test. Both install missing Debian packages first.
BUILD_DIR := build
SAN_DIR := build-asan
WINDOWS_DIR := build-windows
WEB_DIR := build-web
SERVE_PORT ?= 8000
EMSCRIPTEN_TOOLCHAIN ?= /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
# Debian's emscripten finds its JavaScript tools there.
NODE_PATH ?= /usr/share/nodejs
export NODE_PATH
JOBS ?= 2
FUZZ_SECONDS ?= 600
export NO_AT_BRIDGE := 1
export LC_ALL := C.UTF-8
SAN_ENV := LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp \
           UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all build test-build sanitize-build web serve windows run test bench fuzz soak clean

all: build

# Each target installs the Debian packages its own work needs: `make run`
# and `make build` only what building and running the airfield takes.
DEPS = @sh scripts/install-deps.sh

# The library and the programs, without the tests.
build:
	$(DEPS) build
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVET_BUILD_GTK=ON \
	  -DBUILD_TESTING=OFF
	cmake --build $(BUILD_DIR) -j$(JOBS)

# The same tree with the tests.
test-build:
	$(DEPS) test
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVET_BUILD_GTK=ON \
	  -DBUILD_TESTING=ON
	cmake --build $(BUILD_DIR) -j$(JOBS)

# The library and simulation tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, with the fuzz targets, built by clang.
sanitize-build:
	$(DEPS) test
	CC=clang CXX=clang++ cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKIVET_SANITIZE=ON -DKIVET_FUZZ=ON -DKIVET_BUILD_GTK=OFF
	cmake --build $(SAN_DIR) -j$(JOBS)

# The browser: the airfield and the examples as web pages (build-web/*.html
# with their .js and .wasm), built by emscripten.
web:
	$(DEPS) web
	cmake -S . -B $(WEB_DIR) -DCMAKE_TOOLCHAIN_FILE=$(EMSCRIPTEN_TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WEB_DIR) -j$(JOBS)

# The pages for a look in a browser, on this machine only; Ctrl+C stops it.
serve: web
	@echo "Serving $(WEB_DIR)/ at http://127.0.0.1:$(SERVE_PORT)/ (Ctrl+C to stop)"
	python3 -m http.server $(SERVE_PORT) --bind 127.0.0.1 --directory $(WEB_DIR)

# The Windows build, cross-compiled with MinGW-w64: build-windows/airfield.exe,
# build-windows/examples/*.exe, and the programs that the Windows tests and
# bench/windows.sh run under Wine. Each is one .exe that needs no DLL beyond
# Windows' own.
windows:
	$(DEPS) windows
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DKIVET_BUILD_BENCH=ON
	cmake --build $(WINDOWS_DIR) -j$(JOBS)

# Benchmarks: builds the program and the bench programs, then prints the
# figures against their goals, the whole-program ones for X11 and Wayland
# side by side, the Windows build's under Wine and the browser's (about
# twenty minutes; see bench/run.sh, bench/windows.sh and bench/browser.sh
# for the durations they take from the environment).
bench: windows web
	$(DEPS) bench
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVET_BUILD_GTK=ON \
	  -DKIVET_BUILD_BENCH=ON -DBUILD_TESTING=OFF
	cmake --build $(BUILD_DIR) -j$(JOBS) --target airfield airfield_spinning frame_bench \
	  gtk_driver first_frame headless_playback kivet-check bench_house catch catch_ticks
	bash bench/run.sh $(BUILD_DIR)

run: build
	./$(BUILD_DIR)/airfield

test: test-build sanitize-build windows web
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)
	cd $(SAN_DIR) && $(SAN_ENV) ctest --output-on-failure -j$(JOBS)

fuzz: sanitize-build
	for target in script_reader drawing picture; do \
	  sh tests/fuzz/run_fuzzer.sh $(SAN_DIR)/tests/$${target}_fuzz \
	    tests/fuzz/corpus/$$target $(FUZZ_SECONDS) || exit 1; \
	done

# The soak run at full size: the whole simulation for SOAK_EVENTS periodic
# events (about four minutes for the default), printing its speed and memory
# as it goes; it fails when the heap beyond the queued movements grows by
# more than 512 KB. The test command runs a shorter soak under the sanitizers.
SOAK_EVENTS ?= 200000
soak: test-build
	cd $(BUILD_DIR) && KIVET_SOAK_EVENTS=$(SOAK_EVENTS) ./tests/soak_tests

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR) build-*
