# Helpers that every folder uses to declare its targets.
#
# Layering is enforced through include paths: nothing has src/ on its include
# path. A target made with nuv_library(NAME FOLDER ...) publishes only its own
# folder, through a link in the build tree, so "image/flash_image.h" can be
# included only by targets that link nuv_image. A core target that does not
# link the framework therefore cannot include a framework header.

set(NUV_WARNINGS
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Woverloaded-virtual -Wimplicit-fallthrough -Wformat=2 -Werror)

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 at -O3 reports the copies inlined from std::string's own
  # operator+ as overlapping (GCC bug 105329): in the release build that
  # check gives only false reports, and each one stopped the build.
  list(APPEND NUV_WARNINGS $<$<CONFIG:Release>:-Wno-restrict>)
endif()

if(NUV_BUILD_FUZZ)
  # Coverage for every library the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(NUV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Applies our warning set to a target built from our own sources.
function(nuv_warnings target)
  target_compile_options(${target} PRIVATE ${NUV_WARNINGS})
endfunction()

# nuv_library(<target> <folder> [SHARED|MODULE|STATIC] SOURCES ... [LINKS ...])
# <folder> is relative to src/ (e.g. "image"); it becomes includable as
# "<folder>/header.h" by the target and by everything that links it.
function(nuv_library target folder)
  cmake_parse_arguments(ARG "SHARED;MODULE;STATIC" "" "SOURCES;LINKS" ${ARGN})
  set(kind STATIC)
  if(ARG_SHARED)
    set(kind SHARED)
  elseif(ARG_MODULE)
    set(kind MODULE)
  endif()
  add_library(${target} ${kind} ${ARG_SOURCES})
  nuv_warnings(${target})
  set(expose ${CMAKE_BINARY_DIR}/expose/${target})
  get_filename_component(parent "${expose}/${folder}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  if(NOT EXISTS "${expose}/${folder}")
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} "${expose}/${folder}" SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${expose})
  if(ARG_LINKS)
    target_link_libraries(${target} PUBLIC ${ARG_LINKS})
  endif()
endfunction()

# nuv_test(<target> SOURCES ... LINKS ... [RESOURCE_LOCK name]
#          [ENVIRONMENT VAR=value...]): a GoogleTest program registered with
# CTest, each test case a CTest test, run with the variables given.
function(nuv_test target)
  cmake_parse_arguments(ARG "" "WORKING_DIRECTORY;RESOURCE_LOCK" "SOURCES;LINKS;ENVIRONMENT" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  nuv_warnings(${target})
  target_link_libraries(${target} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(NOT ARG_WORKING_DIRECTORY)
    set(ARG_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(properties TIMEOUT 120)
  if(ARG_RESOURCE_LOCK)
    list(APPEND properties RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  if(ARG_ENVIRONMENT)
    list(APPEND properties ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
  gtest_discover_tests(${target} WORKING_DIRECTORY ${ARG_WORKING_DIRECTORY}
                       DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

# nuv_benchmark(<target> SOURCES ... LINKS ...): a Google Benchmark program
# (not a test: run it by hand or through scripts/bench).
function(nuv_benchmark target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  nuv_warnings(${target})
  target_link_libraries(${target} PRIVATE ${ARG_LINKS} benchmark::benchmark)
endfunction()

# nuv_fuzzer(<target> SOURCES ... LINKS ...): a libFuzzer target; built only
# with the "fuzz" preset (clang), which instruments everything it links.
function(nuv_fuzzer target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  nuv_warnings(${target})
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${target} PRIVATE ${ARG_LINKS})
endfunction()
