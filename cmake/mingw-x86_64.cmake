# Windows x64: mingw-w64 x86_64; tests under 64-bit Wine.
set(VESK_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
