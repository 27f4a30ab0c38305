# Helmvantor: `make test` installs what is missing, builds and runs every test; `make run`
# installs, builds and starts the program (in simulation mode when there is no display);
# `make install` puts the program, its menu entry and icon under PREFIX.
WERROR := $(if $(CI),ON,OFF)
PREFIX ?= $(HOME)/.local

.PHONY: deps test test-asan test-fuzz build run install clean format

deps:
	@bash scripts/deps.sh

build: deps
	cmake --preset default -DHELM_WERROR=$(WERROR) >/dev/null
	cmake --build --preset default

run: build
	@bash scripts/run.sh

install: build
	cmake --install build/default --prefix "$(PREFIX)"

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
