# Set-up: `make run` builds and starts the simulation, `make test` builds and
# runs every test. Both install missing Debian packages first.
BUILD_DIR := build
JOBS ?= 2
export NO_AT_BRIDGE := 1

.PHONY: all deps build run test bench clean

all: build

deps:
	@sh scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	./$(BUILD_DIR)/airfield

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf $(BUILD_DIR) build-*
