# Windows x86: mingw-w64 i686; tests under 32-bit Wine.
set(VESK_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
