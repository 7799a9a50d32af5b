# The two commands of the README. Both install what is missing first (Debian, as root).
.PHONY: deps build build-win32 build-linux32 test demo bench clean

deps:
	bash scripts/install-deps.sh

build-win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

build-linux32: deps
	cmake --preset linux32 >/dev/null
	cmake --build --preset linux32

build: build-win32 build-linux32

test: build
	ctest --preset linux32 -j2

demo: build
	bash scripts/demo.sh

bench: build
	bash scripts/bench.sh

clean:
	rm -rf build
