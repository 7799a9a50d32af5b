# The two commands of the README. Both install what is missing first (Debian, as root).
#   make demo   the Linux product (x86-64) and the demo on the bundled examples
#   make test   every build and every test suite; the last lines say which suites ran
.PHONY: deps deps-demo deps-bench build build-linux64 build-linux64-asan build-linux32 \
        build-win32 build-win64 test demo bench clean

deps:
	bash scripts/install-deps.sh test

deps-demo:
	bash scripts/install-deps.sh demo

deps-bench:
	bash scripts/install-deps.sh bench

# The Linux product: plug-ins, platform layer, orvane, tests and benchmarks.
build-linux64:
	cmake --preset linux64 >/dev/null
	cmake --build --preset linux64

# The same under AddressSanitizer and UndefinedBehaviorSanitizer; its tests include
# `orvane validate` on every plug-in (see tests/CMakeLists.txt).
build-linux64-asan:
	cmake --preset linux64-asan >/dev/null
	cmake --build --preset linux64-asan

# The 32-bit Linux build that checks the 32-bit numbers (plug-ins, platform layer, orvane), with
# its own libsndfile and no pictures: it needs no i386 package of the system.
build-linux32:
	bash scripts/build-deps.sh linux32 build/linux32-deps
	cmake --preset linux32 >/dev/null
	cmake --build --preset linux32

# The deliverables, 32-bit Windows. orvane.exe, which only the win32 parity suites run, is built
# (with its libsndfile) only where this machine runs 32-bit programs.
build-win32:
	if scripts/runs-32bit.sh >/dev/null; then \
	  bash scripts/build-deps.sh win32 build/win32-deps && \
	  cmake --preset win32 -DORVANE_WINDOWS_HOST=ON >/dev/null && \
	  cmake --build --preset win32; \
	else \
	  cmake --preset win32 -DORVANE_WINDOWS_HOST=OFF >/dev/null && \
	  cmake --build --preset win32 --target levelmeter crossanalyser inversefilter; \
	fi

# The same plug-ins and orvane.exe for x86-64 Windows, run under 64-bit Wine by the tests.
build-win64:
	bash scripts/build-deps.sh win64 build/win64-deps
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

build: build-linux64 build-linux64-asan build-linux32 build-win32 build-win64

# Every build, then every suite; a build that cannot be made fails its suites, and the others
# still run (scripts/run-suites.sh).
test: deps
	bash scripts/run-suites.sh

# Only what the demo needs: the Linux product, no i386 packages, no mingw, no Wine.
demo: deps-demo
	cmake --preset linux64 >/dev/null
	cmake --build --preset linux64 --target orvane levelmeter crossanalyser inversefilter
	bash scripts/demo.sh

bench: deps-bench build-linux64
	bash scripts/bench.sh

clean:
	rm -rf build
