# Shared build rules: warnings, test registration, GoogleTest from Debian's sources.

# Warnings as errors on our own code.
function(velmora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-missing-field-initializers)
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
  endif()
endfunction()

# Debian ships GoogleTest as sources under /usr/src/googletest; building it ourselves
# gives the same framework natively and for MinGW.
macro(velmora_setup_gtest)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endmacro()

# velmora_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS wine])
# One test executable, run as one ctest test (under Wine in the Windows build
# through CMAKE_CROSSCOMPILING_EMULATOR).
function(velmora_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  velmora_warnings(${T_NAME})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# The shipped programs land together in one folder, as they are installed.
set(VELMORA_INSTALL_DIR ${CMAKE_BINARY_DIR}/bin)

# Icons are drawn by a script at build time; resource scripts find them, the manifest and
# the repo's headers through the include path.
function(velmora_icons_for target)
  set(icons ${CMAKE_BINARY_DIR}/icons)
  if(NOT TARGET velmora_icons)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(outputs ${icons}/flash.ico ${icons}/update.ico ${icons}/flash_icon_30001.bin ${icons}/flash_icon_group.bin)
    add_custom_command(OUTPUT ${outputs}
      COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/assets/icons/make_icons.py ${icons}
      DEPENDS ${PROJECT_SOURCE_DIR}/assets/icons/make_icons.py
      COMMENT "Drawing icons")
    add_custom_target(velmora_icons DEPENDS ${outputs})
    set_property(GLOBAL PROPERTY VELMORA_ICON_FILES "${outputs}")
  endif()
  add_dependencies(${target} velmora_icons)
  target_include_directories(${target} PRIVATE ${icons} ${PROJECT_SOURCE_DIR}/assets/manifest ${PROJECT_SOURCE_DIR})
  get_target_property(sources ${target} SOURCES)
  get_property(files GLOBAL PROPERTY VELMORA_ICON_FILES)
  foreach(source ${sources})
    if(source MATCHES "\\.rc$")
      set_source_files_properties(${source} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${files};${PROJECT_SOURCE_DIR}/assets/manifest/app.manifest")
    endif()
  endforeach()
endfunction()
