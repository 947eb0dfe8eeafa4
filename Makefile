# Quick start: `make play` builds and starts the game; `make test` builds and runs every test.
# Both first install the Debian packages they need (listed once, in packages.txt).

BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= $(HOME)/.local
CMAKE_FLAGS ?=

BUILD_PKGS := $(shell sed -n 's/^build://p' packages.txt)
TEST_PKGS := $(shell sed -n 's/^test://p' packages.txt)

.PHONY: play test build deps deps-test configure assets install uninstall bench fuzz \
        test-sanitize clean

play: deps
	$(MAKE) --no-print-directory build
	cd $(BUILD)/bin && ./gombocok

test: deps-test
	$(MAKE) --no-print-directory build
	cd $(BUILD) && ctest --output-on-failure -j2

build: configure
	cmake --build $(BUILD) -j$(JOBS)

configure:
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

deps:
	@./tools/install-packages $(BUILD_PKGS)

deps-test:
	@./tools/install-packages $(BUILD_PKGS) $(TEST_PKGS)

# Regenerates every picture and sound under assets/ with our own generator.
assets: configure
	cmake --build $(BUILD) --target assetgen -j$(JOBS)
	$(BUILD)/tools/assetgen assets

install: deps
	$(MAKE) --no-print-directory build
	cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	./tools/uninstall.sh $(BUILD)/install_manifest.txt

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
