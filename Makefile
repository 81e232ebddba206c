# make demo: install what is missing, build, run the demo.
# make test: install what is missing, build, run every test.
BUILD ?= build
JOBS ?= $(shell nproc)
MAKEFLAGS += --no-print-directory

# What the demo runs: the program, the context helper and the data folder.
# `make demo` builds only these; `make test` builds the rest too.
DEMO_TARGETS = tessaprint ferrowick tessa_data

.PHONY: all deps configure build demo test clean

all: build

deps:
	@bash scripts/install-deps

# A configure run that changes nothing rewrites no file, so it relinks nothing.
configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > $(BUILD).configure.log 2>&1 || { cat $(BUILD).configure.log; exit 1; }

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

demo: configure
	@cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	@bash scripts/demo $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD).configure.log
