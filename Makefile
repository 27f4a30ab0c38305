# Helmvantor: `make test` installs what is missing, builds and runs every test.
WERROR := $(if $(CI),ON,OFF)

.PHONY: deps test test-asan test-fuzz build clean format

deps:
	@bash scripts/deps.sh

build: deps
	cmake --preset default -DHELM_WERROR=$(WERROR) >/dev/null
	cmake --build --preset default

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
