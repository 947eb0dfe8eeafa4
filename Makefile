# Quick start: `make play` builds and starts the game; `make test` builds and runs every test.
# Both install the Debian packages they need first (listed in packages.txt).

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

BUILD_PKGS := $(shell sed -n 's/^build://p' packages.txt)
TEST_PKGS := $(shell sed -n 's/^test://p' packages.txt)

.PHONY: play test build deps deps-test configure assets clean

play: deps build
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

clean:
	rm -rf $(BUILD)
