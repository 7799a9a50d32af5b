# The two commands of the README. Both install what is missing first (Debian, as root).
.PHONY: deps build build-win32 build-linux32 build-linux32-asan test test-sanitizers demo bench clean

deps:
	bash scripts/install-deps.sh

build-win32: deps
	bash scripts/build-win32-deps.sh build/win32-deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

build-linux32: deps
	cmake --preset linux32 >/dev/null
	cmake --build --preset linux32

build: build-win32 build-linux32

# The linux32 build once more under AddressSanitizer and UndefinedBehaviorSanitizer; its tests
# include `orvane validate` on every plug-in (see tests/CMakeLists.txt).
build-linux32-asan: deps
	cmake --preset linux32-asan >/dev/null
	cmake --build --preset linux32-asan

# The tests, `orvane validate` on every plug-in included, then the same under the sanitizers.
test: build test-sanitizers
	ctest --preset linux32 -j2

test-sanitizers: build-linux32-asan
	ctest --preset linux32-asan -j2

demo: build
	bash scripts/demo.sh

bench: build
	bash scripts/bench.sh

clean:
	rm -rf build
