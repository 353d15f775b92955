# Windows x86: mingw-w64 i686; tests under 32-bit Wine.
set(VESK_MINGW_PROCESSOR i686)
# Code built with GCC for x86 handles exceptions with DWARF tables and installs no structured
# exception handler of its own, so the images say so (NO_SEH): no handler in them may be called.
set(VESK_MINGW_EXE_LINKER_FLAGS "-Wl,--no-seh")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
