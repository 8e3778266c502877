# Helpers shared by every layer's CMakeLists.

# Header-only libraries from Debian (nlohmann/json) reach both toolchains through a
# folder of symbolic links: the MinGW build must not see the rest of /usr/include.
function(tavolex_setup_header_only_includes)
  set(dir ${CMAKE_BINARY_DIR}/include)
  file(MAKE_DIRECTORY ${dir})
  if(NOT EXISTS ${dir}/nlohmann)
    file(CREATE_LINK /usr/include/nlohmann ${dir}/nlohmann SYMBOLIC)
  endif()
  add_library(tavolex_third_party INTERFACE)
  target_include_directories(tavolex_third_party SYSTEM INTERFACE ${dir})
endfunction()

# The Windows files a host developer downloads come out byte for byte the same from the same
# sources in any folder at any time: no link time in the PE header (nor in the resource
# directory, which ld fills from it), the source and build folders mapped to fixed names in
# the debug information and in __FILE__, so that the debug file, and with it the checksum that
# the stripped file's debug link holds, does not depend on where the tree was built.
function(tavolex_reproducible_windows_build)
  if(NOT WIN32)
    return()
  endif()
  # The build folder's map comes last, so that GCC tries it first for a build folder inside
  # the source tree.
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=/tavolex/source
                      -ffile-prefix-map=${CMAKE_BINARY_DIR}=/tavolex/build)
  add_link_options(-Wl,--no-insert-timestamp)
endfunction()

# tavolex_export_layer_folders(target sources...): gives the target an include folder of its
# own that shows only the folders of src/ its sources lie in, as links under
# BUILD/layers/TARGET (so `#include "ui/core/form.h"` still names the layer). A library sees
# the folders of the libraries it links and no others: a file that includes a layer above its
# own fails to compile ("No such file or directory").
function(tavolex_export_layer_folders target)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  set(folders)
  foreach(source ${ARGN})
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/src ${path})
    if(NOT relative MATCHES "^[.][.]/")
      get_filename_component(folder ${relative} DIRECTORY)
      list(APPEND folders ${folder})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES folders)
  foreach(folder ${folders})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT IS_SYMLINK ${root}/${folder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# tavolex_add_library(name SOURCES ... DEPENDS ...): one static library per layer,
# position independent so that the module's shared object can take it in.
function(tavolex_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  tavolex_export_layer_folders(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# tavolex_add_test_subdirectories(): adds every folder below this one that has a CMakeLists.txt,
# in name order (test folders mirror the source folders, nested as they are).
function(tavolex_add_test_subdirectories)
  file(GLOB dirs LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT dirs)
  foreach(dir ${dirs})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# tavolex_add_test(name SOURCES ... DEPENDS ... [WINDOWS]): one GoogleTest executable,
# registered as one CTest entry (under Wine every process start costs time, so suites are
# not split into one entry per case). WINDOWS marks tests that open real windows and so
# need the X display that ./run provides.
function(tavolex_add_test name)
  cmake_parse_arguments(ARG "WINDOWS" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix)
  endif()
  if(ARG_WINDOWS)
    # Focus and activation are per display: two programs with windows on the one X display
    # would take the focus from each other, so window tests run one at a time.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK x_display)
  endif()
endfunction()

# tavolex_embed_text(target var file): compiles the text of a file into the target as
# `extern const char var[]` (stored descriptions and other build-time resources).
function(tavolex_embed_text target var file)
  get_filename_component(abs ${file} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${var}.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${abs} -DOUT=${out} -DVAR=${var}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
    DEPENDS ${abs} ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()

# tavolex_check_published_names(target name): makes building the target check that the stored
# description NAME.json beside the CMakeLists, the class's header NAME.h and its source NAME.cpp
# name the same controls and handlers (cmake/CheckPublishedNames.cmake says how), so that one
# added or taken away in only one of them fails the build with a message naming it and the file.
function(tavolex_check_published_names target name)
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/published_names/${name}.checked)
  set(script ${PROJECT_SOURCE_DIR}/cmake/CheckPublishedNames.cmake)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DDESCRIPTION=${dir}/${name}.json -DHEADER=${dir}/${name}.h
            -DSOURCE=${dir}/${name}.cpp -DROOT=${PROJECT_SOURCE_DIR} -DSTAMP=${stamp}
            -P ${script}
    DEPENDS ${dir}/${name}.json ${dir}/${name}.h ${dir}/${name}.cpp ${script}
    COMMENT "Checking the names of ${name}.json against its class"
    VERBATIM)
  target_sources(${target} PRIVATE ${stamp})
endfunction()
