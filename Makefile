# Dravix Video Repair: cross-built with mingw-w64, run and tested under Wine.
#   make run          install what the program needs, build it, start it
#   make test         install what the tests need too, build everything, run every test headless
#   make bench        build and run the benchmarks
#   make package      build the Windows Installer package (an .msi) into the build folder
#   make screenshots  take the pictures of the program in docs/screens/
# Each of them installs the Debian packages it needs that are missing.
BUILD ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake -DCMAKE_BUILD_TYPE=Release
# Each step names itself, so that whoever waits sees what for.
STEP = @printf '\n==> %s\n'

.PHONY: all deps deps-all configure configure-all program build run test bench package \
        screenshots format clean

all: build

deps:
	$(STEP) "Packages: what building and running the program needs"
	@tools/install-deps

deps-all:
	$(STEP) "Packages: what the program, its tests and its package need"
	@tools/install-deps --all

$(BUILD)/build.ninja:
	$(STEP) "Configure: $(BUILD)/"
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

# One configuration serves every target. Configured again here, because a
# build folder that `make run` made before the test packages came has left
# out what needs them (under a second when nothing changed).
configure-all: deps-all
	$(STEP) "Configure: $(BUILD)/, with the tests and the package"
	@if [ -f $(BUILD)/build.ninja ]; then cmake -S . -B $(BUILD); \
	 else cmake -S . -B $(BUILD) $(CMAKE_FLAGS); fi

# The program, its engines and the pictures they embed: what `make run` starts.
program: configure
	$(STEP) "Build: the program, its engines and their pictures"
	cmake --build $(BUILD) --target program

# Everything: the program, the test programs and the package.
build: configure-all
	$(STEP) "Build: the program, its tests and its package"
	cmake --build $(BUILD)

run: program
	$(STEP) "Start: the program under Wine"
	@tools/run-app $(BUILD)

test: build
	$(STEP) "Test: every test program, on a virtual display"
	DRAVIX_HEADLESS=1 tools/wine-run --build-dir $(BUILD) --session \
	    ctest --test-dir $(BUILD) --output-on-failure

bench: build
	cmake --build $(BUILD) --target benchmarks
	DRAVIX_HEADLESS=1 tools/wine-run --build-dir $(BUILD) --session tools/run-benchmarks $(BUILD)

package: configure-all
	$(STEP) "Build: the Windows Installer package"
	cmake --build $(BUILD) --target dravix_msi
	@ls -1 $(BUILD)/*.msi

screenshots: configure-all
	cmake --build $(BUILD) --target screenshots
	DRAVIX_HEADLESS=1 tools/wine-run --build-dir $(BUILD) --session tools/take-screenshots $(BUILD) docs/screens

format: deps-all
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
