# Adds every direct subfolder of DIR that has a CMakeLists.txt, in name order.
function(kolvarin_add_subdirectories dir)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/${dir} ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/${child}/CMakeLists.txt)
      add_subdirectory(${dir}/${child})
    endif()
  endforeach()
endfunction()

# kolvarin_add_library(NAME SOURCES ... [HEADERS prefix ...] [LIBS ...]): a
# static library whose headers are included as "<prefix>/<file>.h". Each
# prefix is a folder relative to the parent of the calling folder
# (src/kunits, src/platform or src); the default is the calling folder's own
# name. A library sees only its own prefixes and those of the libraries it
# links, so an include of a layer it may not use fails to compile.
function(kolvarin_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;HEADERS;LIBS" ${ARGN})
  if(NOT ARG_HEADERS)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(ARG_HEADERS ${folder})
  endif()
  get_filename_component(layer ${CMAKE_CURRENT_SOURCE_DIR} DIRECTORY)
  set(root ${PROJECT_BINARY_DIR}/include/${name})
  foreach(prefix IN LISTS ARG_HEADERS)
    get_filename_component(parent ${root}/${prefix} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${layer}/${prefix} ${root}/${prefix} SYMBOLIC)
  endforeach()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${root})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# kolvarin_add_test(NAME SOURCES ... [LIBS ...] [PROPERTIES ...]): one
# GoogleTest program, each test case registered with CTest (PROPERTIES are
# set on each). LIBS names the main: kolvarin_test_main, or
# kolvarin_qt_test_main for programs that need a Qt application.
function(kolvarin_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} kolvarin_testsupport GTest::gtest GTest::gmock)
  # GoogleTest's header costs seconds in every test source: clang parses it
  # once a program (a third off the test sources); gcc's header with debug
  # information loads no faster than it parses.
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_precompile_headers(${name} PRIVATE <gtest/gtest.h>)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  # The test mains choose the headless Qt platform and SDL's dummy driver.
  # Listing a sanitized program on a loaded machine can pass the default 5 s.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${ARG_TIMEOUT} ${ARG_PROPERTIES})
endfunction()

# kolvarin_add_fuzzer(NAME SOURCES ... [LIBS ...]): a libFuzzer target in fuzz
# builds. In test builds (fuzz builds too), when the folder
# corpus/<NAME without "fuzz_"> is checked in beside it, the same sources are
# linked with a replay main and the corpus is replayed as a test.
function(kolvarin_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(KOLVARIN_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endif()
  string(REGEX REPLACE "^fuzz_" "" short ${name})
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${short})
  if(KOLVARIN_TESTS AND EXISTS ${corpus})
    add_executable(${name}_replay ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
    target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
    add_test(NAME FuzzCorpus.${short} COMMAND ${name}_replay ${corpus})
    set_tests_properties(FuzzCorpus.${short} PROPERTIES
      ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/scripts/lsan.supp")
  endif()
endfunction()

# kolvarin_add_benchmark(NAME SOURCES ... [LIBS ...]): a Google Benchmark program.
function(kolvarin_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench/support)
endfunction()

# kolvarin_lazy_sonames(TARGET PREFIX LIB...): for each LIB among the
# libraries that pkg_check_modules(PREFIX ...) found, the compile definition
# KOLVARIN_SONAME_<LIB> with the SONAME of the installed library, by which
# the program opens it on first use (see src/platform/lazyload). The files are
# kept in the global property KOLVARIN_LAZY_LIBRARIES: the package depends on
# them, though the program does not link them.
function(kolvarin_lazy_sonames target prefix)
  foreach(lib IN LISTS ARGN)
    set(file ${${prefix}_LINK_LIBRARIES})
    list(FILTER file INCLUDE REGEX "/lib${lib}\\.so$")
    set_property(GLOBAL APPEND PROPERTY KOLVARIN_LAZY_LIBRARIES ${file})
    execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${file} OUTPUT_VARIABLE dump)
    if(NOT dump MATCHES "SONAME +([^\n]+)")
      message(FATAL_ERROR "No SONAME found for lib${lib} (${file})")
    endif()
    target_compile_definitions(${target} PRIVATE KOLVARIN_SONAME_${lib}="${CMAKE_MATCH_1}")
  endforeach()
endfunction()
