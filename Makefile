# The two everyday commands: `make run` and `make test`. Everything else is CMake.
BUILD_DIR ?= build
GENERATOR ?= Ninja
CMAKE_FLAGS ?=
JOBS ?= 2

.PHONY: all build run test asan bench fuzz package deps windows package-windows clean

all: build

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Generates the three headers from the bundled example options file into ./generated.
run: build
	mkdir -p generated
	$(BUILD_DIR)/app/korven examples/options.txt generated

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer, built
# with clang (the normal build uses the default compiler, g++).
SANITIZE = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
asan:
	$(MAKE) test BUILD_DIR=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_CXX_FLAGS='$(SANITIZE)' -DCMAKE_C_FLAGS='$(SANITIZE)' $(CMAKE_FLAGS)"

bench:
	cmake -S . -B build-bench -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DKORVEN_BUILD_TESTS=OFF -DKORVEN_BUILD_BENCH=ON
	cmake --build build-bench -j $(JOBS)

# The libFuzzer targets (clang), each run for FUZZ_SECONDS on a copy of its
# seed corpus; `make test` replays the seeds alone in every build.
FUZZ_SECONDS ?= 60
fuzz:
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKORVEN_BUILD_FUZZ=ON -DKORVEN_BUILD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash fuzz/run.sh build-fuzz

# A Debian package with the binary, the manual page and the CMake package files.
package: build
	cmake --build $(BUILD_DIR) --target package

# Installs the Debian packages that the builds need and the machine lacks
# (the list is .ci/debian-packages).
deps:
	sh .ci/install-deps.sh

# The Windows build, cross-compiled with MinGW-w64; its tests run under wine.
WINDOWS_DIR = build-windows
# Without the cross toolchain and wine, stop at once with one line.
WINDOWS_TOOLS = cmake ninja x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-gcc-posix wine wineserver
ifneq ($(filter windows package-windows,$(MAKECMDGOALS)),)
WINDOWS_MISSING := $(strip $(foreach t,$(WINDOWS_TOOLS),$(if $(shell command -v $(t) 2>/dev/null),,$(t))))
ifneq ($(WINDOWS_MISSING),)
$(error make windows needs $(WINDOWS_MISSING), which this machine lacks: run 'make deps' first)
endif
endif

$(WINDOWS_DIR)/build.ninja:
	cmake -S . -B $(WINDOWS_DIR) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS)

# Then the checking library alone, cross-built without wine and used by a
# consumer project, whose headers a korven for this machine generates.
windows: $(WINDOWS_DIR)/build.ninja $(BUILD_DIR)/build.ninja
	sh cmake/with-wine.sh $(WINDOWS_DIR) sh -c 'cmake --build $(WINDOWS_DIR) -j $(JOBS) && \
	  ctest --test-dir $(WINDOWS_DIR) --output-on-failure -j $(JOBS)'
	cmake --build $(BUILD_DIR) -j $(JOBS) --target korven
	bash tests/consumer/windows_library_only.sh $(WINDOWS_DIR) $(BUILD_DIR)

# A ZIP for Windows users: bin/korven.exe, the CMake package and the README.
package-windows: $(WINDOWS_DIR)/build.ninja
	sh cmake/with-wine.sh $(WINDOWS_DIR) cmake --build $(WINDOWS_DIR) --target package

clean:
	rm -rf build build-asan build-bench build-fuzz build-windows generated
