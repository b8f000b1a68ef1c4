# The two entry points: `make run` builds and starts Vemlor, `make test` builds
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
JOBS ?= $(shell nproc)

.PHONY: run test deps build build-asan clean

run: build
	./build/vemlor

test: build-asan
	cd build-asan && ctest --output-on-failure -j $(JOBS)

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build -j $(JOBS)

build-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEMLOR_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)

clean:
	rm -rf build build-asan
