# x86 32-bit Linux: the plug-ins, the platform layer and orvane built -m32, to check that the
# 32-bit ABI computes what the 64-bit product computes (run under qemu-i386 where the kernel
# refuses 32-bit programs).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
# No i386 library of the system's is linked: gcc-multilib brings the C and C++ runtimes, the
# project builds its own libsndfile (scripts/build-deps.sh linux32), and the build draws no
# pictures (no cairo). pkg-config must not offer the machine's 64-bit libraries.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} "/usr/share/pkgconfig")
