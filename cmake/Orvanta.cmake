# One library target per source folder. Sources are globbed so that adding a
# file to a folder needs no edit here.
function(orvanta_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(NOT sources)
    # A folder of headers only (or not written yet) is still a target others can link.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# One GoogleTest executable per test folder; every *.cpp in it is a test source.
function(orvanta_test target)
  cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES LABELS "${ARG_LABELS}"
    DISCOVERY_TIMEOUT 60)
endfunction()

# One Google Benchmark executable per bench folder.
# SMOKE_GROUPS: benchmark filters that split the smoke run into tests of
# their own (${target}_smoke_1, _2, ...), which ctest can run side by side;
# together they must cover every benchmark.
function(orvanta_bench target)
  cmake_parse_arguments(ARG "" "" "DEPS;SMOKE_GROUPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  # Smoke run: every benchmark once, so a broken benchmark fails the test run.
  # Nothing is timed or compared here.
  if(NOT ARG_SMOKE_GROUPS)
    add_test(NAME ${target}_smoke COMMAND ${target} --benchmark_min_time=0)
    set_tests_properties(${target}_smoke PROPERTIES LABELS bench)
    return()
  endif()
  set(group 0)
  foreach(filter IN LISTS ARG_SMOKE_GROUPS)
    math(EXPR group "${group} + 1")
    add_test(NAME ${target}_smoke_${group} COMMAND ${target} --benchmark_min_time=0 "--benchmark_filter=${filter}")
    set_tests_properties(${target}_smoke_${group} PROPERTIES LABELS bench)
  endforeach()
endfunction()
