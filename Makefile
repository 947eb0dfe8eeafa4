# Quick start: `make play` builds and starts the game; `make test` builds and runs every test.
# Both first install the Debian packages they need (listed once, in packages.txt).

BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= $(HOME)/.local
CMAKE_FLAGS ?=

BUILD_PKGS := $(shell sed -n 's/^build://p' packages.txt)
TEST_PKGS := $(shell sed -n 's/^test://p' packages.txt)
DEB_PKGS := $(shell sed -n 's/^deb://p' packages.txt)

.PHONY: play test build build-game deps deps-test deps-deb configure configure-test assets \
        install uninstall deb bench fuzz test-sanitize clean

# The game alone: a folder configured here has no tests or benchmarks and needs neither GTest
# nor libbenchmark. A folder that `make test` configured is used as it is, building only the game.
play: deps
	$(MAKE) --no-print-directory build-game
	cd $(BUILD)/bin && ./gombocok

test: deps-test
	$(MAKE) --no-print-directory build
	cd $(BUILD) && ctest --output-on-failure -j2

# Everything: the game, the tests and the benchmarks.
build: configure-test
	cmake --build $(BUILD) -j$(JOBS)

build-game: configure
	cmake --build $(BUILD) -j$(JOBS) --target gombocok

configure:
	@test -f $(BUILD)/CMakeCache.txt || \
	    cmake -S . -B $(BUILD) -DBUILD_TESTING=OFF -DGOMBOCOK_BENCH=OFF $(CMAKE_FLAGS)

# Turns the tests and benchmarks on, also in a folder `make play` configured: the game's objects
# stay valid, so only the tests and benchmarks are compiled on top.
configure-test:
	@if ! grep -q '^BUILD_TESTING:BOOL=ON$$' $(BUILD)/CMakeCache.txt 2>/dev/null; then \
	    cmake -S . -B $(BUILD) -DBUILD_TESTING=ON -DGOMBOCOK_BENCH=ON $(CMAKE_FLAGS); fi

deps:
	@./tools/install-packages $(BUILD_PKGS)

deps-test:
	@./tools/install-packages $(BUILD_PKGS) $(TEST_PKGS) $(DEB_PKGS)

deps-deb:
	@./tools/install-packages $(BUILD_PKGS) $(DEB_PKGS)

# Regenerates every picture and sound under assets/ with our own generator.
assets: configure
	cmake --build $(BUILD) --target assetgen -j$(JOBS)
	$(BUILD)/tools/assetgen/assetgen assets

install: deps
	$(MAKE) --no-print-directory build-game
	cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	./tools/uninstall.sh $(BUILD)/install_manifest.txt

# The Debian package, built from a copy of the sources under $(BUILD)/deb/ and checked by lintian.
deb: deps-deb
	./tools/build-deb $(BUILD)/deb

bench: deps-test
	$(MAKE) --no-print-directory build
	cmake --build $(BUILD) --target gombocok_bench -j$(JOBS)
	./bench/run $(BUILD)

# The settings loader under libFuzzer for 60 seconds (clang: GCC cannot build fuzz targets).
fuzz: deps-test
	./fuzz/run 60

# The whole test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps-test
	$(MAKE) --no-print-directory build BUILD=$(BUILD)-sanitize CMAKE_FLAGS="-DGOMBOCOK_SANITIZE=ON -DGOMBOCOK_BENCH=OFF"
	cd $(BUILD)-sanitize && ctest --output-on-failure -j2

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize
