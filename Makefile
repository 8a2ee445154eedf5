# Two commands for a newcomer: `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE ?= examples/controller

FUZZ_SECONDS ?= 300

.PHONY: all build demo test test-sanitize fuzz bench clean format difftest install package

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD)/stackcc $(EXAMPLE)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The programs, their manual pages, the docs and the examples under PREFIX
# (DESTDIR, when set, is put before it). Needs no root when PREFIX is writable.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package of the same files under /usr: $(BUILD)/stackcc_<version>_<arch>.deb.
package: build
	rm -f $(BUILD)/stackcc_*.deb
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/stackcc_*.deb

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTACKCC_SANITIZE=ON >/dev/null
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# Generated programs built with gcc and with stackcc + stackvm must print the
# same; N programs from seed FIRST (CTest runs seeds 0-239).
N ?= 2000
FIRST ?= 1000
difftest: build
	python3 tests/vm/difftest.py --stackcc $(BUILD)/stackcc --stackvm $(BUILD)/stackvm \
	  --first $(FIRST) --count $(N) --jobs $(JOBS) --keep $(BUILD)/difftest-failures

bench:
	bash bench/run.sh $(BENCH_ARGS)

fuzz:
	bash fuzz/run.sh $(FUZZ_SECONDS)

format:
	clang-format -i $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'fuzz/*.cpp' | grep -v '^tests/golden/')

clean:
	rm -rf $(BUILD) build-asan build-fuzz
