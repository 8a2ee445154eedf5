# Two commands for a newcomer: `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE ?= examples/controller

.PHONY: all build demo test clean format

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD)/stackcc $(EXAMPLE)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

format:
	clang-format -i $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h')

clean:
	rm -rf $(BUILD)
