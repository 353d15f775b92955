# What every Windows build does so that a release can be rebuilt byte for byte and is
# hardened (included after Warnings.cmake, for Windows builds only).
#
# Byte-identical rebuilds: the one date an executable carries, the PE header's time stamp, is
# SOURCE_DATE_EPOCH, which binutils honours: the commit's time unless the environment sets it
# (read at configure time; a new commit configures again). Paths of the source and build
# folders are not written into what is compiled.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(VESK_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE VESK_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET RESULT_VARIABLE git_result)
  if(NOT git_result EQUAL 0 OR NOT VESK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    set(VESK_SOURCE_DATE_EPOCH 0)
  endif()
  if(EXISTS ${PROJECT_SOURCE_DIR}/.git/logs/HEAD)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                           ${PROJECT_SOURCE_DIR}/.git/logs/HEAD)
  endif()
endif()
foreach(language C CXX)
  set(CMAKE_${language}_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env
                                        SOURCE_DATE_EPOCH=${VESK_SOURCE_DATE_EPOCH})
endforeach()
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                    -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)

# Hardening of the project's own code: stack canaries in every function with an array or a
# local whose address is taken, and mingw-w64's checked copies where the compiler knows the
# sizes (both from libssp, linked statically). The kernel driver links neither: its runtime
# gives the two hooks itself.
target_compile_options(vesk_warnings INTERFACE -fstack-protector-strong)
target_compile_definitions(vesk_warnings INTERFACE _FORTIFY_SOURCE=2)
target_link_options(vesk_warnings INTERFACE -fstack-protector-strong)

# Every program is terminal-server aware: in a Remote Desktop session Windows would otherwise
# apply compatibility shims (per-user copies of the Windows folder and its INI files) that a
# program which reads no such files never needs.
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -Wl,--tsaware")

# Release code at -O2: -O3's unrolling and inlining made the x86 panel 22 KB larger (527 against
# 505 KB) for code whose time goes to the window system, not to loops. (The compiler's defaults
# come after a toolchain's, so the flags are replaced here.)
foreach(lang C CXX)
  string(REPLACE "-O3" "-O2" CMAKE_${lang}_FLAGS_RELEASE "${CMAKE_${lang}_FLAGS_RELEASE}")
endforeach()
