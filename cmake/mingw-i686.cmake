# The Windows deliverables, 32-bit: mingw-w64 i686 cross build.
set(ORVANE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
