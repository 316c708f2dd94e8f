# zz_add_gtest(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [RESOURCE_LOCK <name>] [WINDOWS])
# Builds a GoogleTest executable and registers each of its tests with CTest (run through Wine when cross-compiling).
# WINDOWS: the test shows the program's windows, so it carries what the program carries: the manifest (common
# controls 6), the waiting program, the empty backup catalogue and a small raw-data resource "TESTDATA".
include(GoogleTest)

function(zz_add_gtest name)
  cmake_parse_arguments(ARG "WINDOWS" "RESOURCE_LOCK" "SOURCES;LIBS;LABELS" ${ARGN})
  set(_sources ${ARG_SOURCES})
  if(ARG_WINDOWS AND WIN32)
    set(_rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
    file(GENERATE OUTPUT ${_rc} CONTENT
      "1 24 \"${PROJECT_SOURCE_DIR}/shell/ZariZovu.manifest\"
TESTDATA RCDATA \"${PROJECT_SOURCE_DIR}/tests/support/data/resource.bin\"
Waitting_PRJ RCDATA \"$<TARGET_FILE:Waitting_PRJ>\"
Backup_XML RCDATA \"${PROJECT_SOURCE_DIR}/panes/BackUpList.xml\"
")
    set_source_files_properties(${_rc} PROPERTIES OBJECT_DEPENDS
      "${CMAKE_BINARY_DIR}/bin/Waitting_PRJ.exe;${PROJECT_SOURCE_DIR}/tests/support/data/resource.bin;${PROJECT_SOURCE_DIR}/shell/ZariZovu.manifest;${PROJECT_SOURCE_DIR}/panes/BackUpList.xml")
    list(APPEND _sources ${_rc})
  endif()
  add_executable(${name} ${_sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  if(ARG_WINDOWS)
    add_dependencies(${name} Waitting_PRJ)
  endif()
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
