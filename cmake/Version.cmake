# Reads the program's version from src/res/Version.h: VESK_VERSION_DOTTED ("1.0.1.0") and
# VESK_VERSION_TEXT ("1.01").
file(STRINGS ${PROJECT_SOURCE_DIR}/src/res/Version.h version_lines REGEX "^#define VESK_VERSION_")
foreach(line IN LISTS version_lines)
  if(line MATCHES "^#define (VESK_VERSION_[A-Z]+) \"?([^\"]*)\"?$")
    set(${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  endif()
endforeach()
set(VESK_VERSION_DOTTED
    ${VESK_VERSION_MAJOR}.${VESK_VERSION_MINOR}.${VESK_VERSION_PATCH}.${VESK_VERSION_BUILD})

# vesk_configure_manifest(NAME): generated/res/NAME.manifest from src/res/NAME.manifest.in, with
# the version and the build's own architecture (Windows loads common controls 6 only for a
# program whose manifest matches it).
function(vesk_configure_manifest name)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VESK_MANIFEST_ARCH amd64)
  else()
    set(VESK_MANIFEST_ARCH x86)
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/src/res/${name}.manifest.in
                 ${CMAKE_BINARY_DIR}/generated/res/${name}.manifest @ONLY)
endfunction()

# vesk_resource_script_depends(): windres writes no list of the files a resource script
# includes, so the scripts used in the calling directory are rebuilt whenever anything under
# src/res changes (a text of strings.def, a dialog, an icon).
function(vesk_resource_script_depends)
  file(GLOB_RECURSE inputs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/res/*.def
       ${PROJECT_SOURCE_DIR}/src/res/*.rc ${PROJECT_SOURCE_DIR}/src/res/*.h
       ${PROJECT_SOURCE_DIR}/src/res/*.ico ${PROJECT_SOURCE_DIR}/src/res/*.in)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/res/VESK_CPL.rc
                              ${PROJECT_SOURCE_DIR}/src/res/veskcfg.rc
                              ${VESK_LANGUAGE_RESOURCES} ${VESK_PSEUDO_RESOURCES}
                              PROPERTIES OBJECT_DEPENDS "${inputs}")
endfunction()
