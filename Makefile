# Helmvantor: `make test` installs what is missing, builds and runs every test; `make run`
# installs, builds and starts the program (in simulation mode when there is no display);
# `make install` puts the program, its menu entry and icon under PREFIX; `make uninstall` (with
# the same PREFIX) removes them again.
WERROR := $(if $(CI),ON,OFF)
PREFIX ?= $(HOME)/.local
# The build `make run` starts, and the list of files `make install` put in place.
BUILD_DIR ?= build/default
MANIFEST ?= build/default/install_manifest.txt

.PHONY: deps test test-asan test-fuzz build run install uninstall clean format

deps:
	@bash scripts/deps.sh

build: deps
	cmake --preset default -DHELM_WERROR=$(WERROR) >/dev/null
	cmake --build --preset default

# Only the program is built, and the build is configured only when it has never been: the
# build notices changes to its own files by itself.
run:
	@bash scripts/deps.sh
	@[ -f $(BUILD_DIR)/CMakeCache.txt ] || cmake --preset default -DHELM_WERROR=$(WERROR) >/dev/null
	@cmake --build $(BUILD_DIR) --target helmvantor
	@HELMVANTOR_PROGRAM=$(BUILD_DIR)/src/helmvantor bash scripts/run.sh

install: build
	cmake --install build/default --prefix "$(PREFIX)"

uninstall:
	@cmake -DMANIFEST="$(MANIFEST)" -DPREFIX="$(PREFIX)" -P cmake/Uninstall.cmake

test: build
	ctest --preset default

test-asan: deps
	cmake --preset asan -DHELM_WERROR=$(WERROR) >/dev/null
	cmake --build --preset asan
	ctest --preset asan

test-fuzz: deps
	cmake --preset fuzz -DHELM_WERROR=$(WERROR) >/dev/null
	cmake --build --preset fuzz
	ctest --preset fuzz

format:
	find src tests bench fuzz -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf build
