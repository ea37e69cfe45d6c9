# Dravix Video Repair: cross-built with mingw-w64, run and tested under Wine.
#   make run          install what is missing, build, start the program
#   make test         install what is missing, build, run every test headless
#   make bench        build and run the benchmarks
#   make package      build the Windows Installer package (an .msi) into the build folder
#   make screenshots  take the pictures of the program in docs/screens/
BUILD ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build run test bench package screenshots format clean

all: build

deps:
	@tools/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

run: build
	@tools/run-app $(BUILD)

test: build
	DRAVIX_HEADLESS=1 tools/wine-run --build-dir $(BUILD) --session \
	    ctest --test-dir $(BUILD) --output-on-failure

bench: build
	cmake --build $(BUILD) --target benchmarks
	DRAVIX_HEADLESS=1 tools/wine-run --build-dir $(BUILD) --session tools/run-benchmarks $(BUILD)

package: configure
	cmake --build $(BUILD) --target dravix_msi
	@ls -1 $(BUILD)/*.msi

screenshots: build
	cmake --build $(BUILD) --target screenshots
	DRAVIX_HEADLESS=1 tools/wine-run --build-dir $(BUILD) --session tools/take-screenshots $(BUILD) docs/screens

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
