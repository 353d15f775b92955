# Warnings for the project's own targets; errors when VESK_WERROR is on (CI).
add_library(vesk_warnings INTERFACE)
target_compile_options(vesk_warnings INTERFACE -Wall -Wextra -Wshadow
                                                $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>)
if(VESK_WERROR)
  target_compile_options(vesk_warnings INTERFACE -Werror)
endif()
if(WIN32)
  # 8-bit Win32 API throughout.
  target_compile_definitions(vesk_warnings INTERFACE WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601
                                                    WINVER=0x0601 _WIN32_IE=0x0600 NOMINMAX)
endif()

# vesk_library(name SOURCES... LIBS...) adds a static library from the project's sources.
function(vesk_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SOURCES)
    # A library whose sources are still to come links as an empty archive.
    set(ARG_SOURCES ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${ARG_SOURCES} "// no sources yet\n")
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC vesk_warnings ${ARG_LIBS})
endfunction()
