# Windows on x86-64: the same plug-ins and orvane.exe as the deliverables, built to be checked
# under 64-bit Wine where 32-bit programs cannot run. mingw-w64 x86_64 cross build.
set(ORVANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
