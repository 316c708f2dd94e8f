# zz_add_gtest(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [RESOURCE_LOCK <name>])
# Builds a GoogleTest executable and registers each of its tests with CTest (run through Wine when cross-compiling).
include(GoogleTest)

function(zz_add_gtest name)
  cmake_parse_arguments(ARG "" "RESOURCE_LOCK" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  # A list inside PROPERTIES must keep its separators escaped.
  string(REPLACE ";" "\\;" _labels "${ARG_LABELS}")
  set(_lock "")
  if(ARG_RESOURCE_LOCK)
    set(_lock RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 180
    PROPERTIES LABELS "${_labels}" TIMEOUT 300 ${_lock})
endfunction()
