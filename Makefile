# Two commands for a newcomer: `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

FUZZ_SECONDS ?= 300

.PHONY: all build programs demo test test-long test-sanitize golden-update fuzz bench clean \
	format difftest install package compare

# Plain `make`: the two programs (and their manual pages), no tests.
all: programs

# The build folder, configured with the tests (ON) or without them (OFF).
configure = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=$(1) >/dev/null

programs:
	$(call configure,OFF)
	cmake --build $(BUILD) -j $(JOBS)

# Everything, the tests included.
build:
	$(call configure,ON)
	cmake --build $(BUILD) -j $(JOBS)

# A quiet build: the compiler's output goes to <folder>/build.log, and only its
# warnings (or, when it fails, its errors) are shown.
# $(1) the folder, $(2) its CMake options, $(3) what is built, $(4) the targets.
quiet_build = @cmake -S . -B $(1) $(2) >/dev/null && echo "building $(3) (log: $(1)/build.log)" && \
	if cmake --build $(1) -j $(JOBS) $(4) >$(1)/build.log 2>&1; then \
	  grep -A3 'warning:' $(1)/build.log || true; \
	else { grep -B2 -A6 -E 'error:|Error [0-9]|undefined reference' $(1)/build.log || tail -n 40 $(1)/build.log; } | head -n 80; exit 1; fi
RELEASE = -DCMAKE_BUILD_TYPE=Release

# Builds stackcc and stackvm only, then compiles and runs the examples.
demo:
	$(call quiet_build,$(BUILD),$(RELEASE) -DBUILD_TESTING=OFF,stackcc and stackvm,--target stackcc stackvm)
	@bash scripts/demo.sh $(BUILD)/stackcc

# Every test but the long ones (labelled `long`; `make test-long` runs them).
test:
	$(call quiet_build,$(BUILD),$(RELEASE) -DBUILD_TESTING=ON,the programs and the tests,)
	@bash scripts/run_tests.sh $(BUILD) -j $(JOBS) -LE long

test-long:
	$(call quiet_build,$(BUILD),$(RELEASE) -DBUILD_TESTING=ON,the programs and the tests,)
	@bash scripts/run_tests.sh $(BUILD) -j $(JOBS) -L long

# Rewrites the expected files of one golden case from what the compiler now
# writes: make golden-update CASE=st-switch (then review `git diff`).
golden-update:
	@test -n "$(CASE)" || { echo "usage: make golden-update CASE=<case folder under tests/golden>"; exit 2; }
	@test -f tests/golden/$(CASE)/cmd || { echo "no golden case tests/golden/$(CASE)"; exit 2; }
	$(call quiet_build,$(BUILD),$(RELEASE) -DBUILD_TESTING=OFF,stackcc,--target stackcc)
	@bash tests/golden/run_case.sh $(BUILD)/stackcc tests/golden/$(CASE) --update

# The programs, their manual pages, the docs and the examples under PREFIX
# (DESTDIR, when set, is put before it). Needs no root when PREFIX is writable.
PREFIX ?= /usr/local
install: programs
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package of the same files under /usr: $(BUILD)/stackcc_<version>_<arch>.deb.
package: programs
	rm -f $(BUILD)/stackcc_*.deb
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/stackcc_*.deb

# The whole suite again, the long tests included, under AddressSanitizer and
# UndefinedBehaviorSanitizer.
test-sanitize:
	$(call quiet_build,build-asan,-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTACKCC_SANITIZE=ON -DBUILD_TESTING=ON,the sanitized programs and tests,)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  bash scripts/run_tests.sh build-asan -j $(JOBS)

# Generated programs built with gcc and with stackcc + stackvm must print the
# same; N programs from seed FIRST (CTest runs seeds 0-239).
N ?= 2000
FIRST ?= 1000
difftest: programs
	python3 tests/vm/difftest.py --stackcc $(BUILD)/stackcc --stackvm $(BUILD)/stackvm \
	  --first $(FIRST) --count $(N) --jobs $(JOBS) --keep $(BUILD)/difftest-failures

bench:
	bash bench/run.sh $(BENCH_ARGS)

# Every golden case, example, bench program and N programs of each generator,
# compiled by REF (the binary before a change) and by the stackcc built here:
# every byte written must be the same. make compare REF=/path/to/old/stackcc [N=2000]
compare:
	@test -n "$(REF)" || { echo "usage: make compare REF=/path/to/old/stackcc [N=2000]"; exit 2; }
	$(call quiet_build,$(BUILD),$(RELEASE),stackcc,--target stackcc)
	python3 bench/compare_binaries.py "$(REF)" $(BUILD)/stackcc --count $(N) --jobs $(JOBS) \
	  --keep $(BUILD)/compare-differences

fuzz:
	REF="$(REF)" bash fuzz/run.sh $(FUZZ_SECONDS)

format:
	clang-format -i $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'fuzz/*.cpp' | grep -v '^tests/golden/')

clean:
	rm -rf $(BUILD) build-asan build-fuzz
