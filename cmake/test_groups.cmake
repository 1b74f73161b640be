# CTest runs each test program once per group of cases that can share a Wine process: a group is a gtest
# suite, and a case listed in zephrin_own_process_cases below runs in a process of its own. The cases are
# listed when CTest starts (under the run's Wine session), so a rebuilt program is listed afresh.
#
# Test names are the suite name, or "Suite.Case" for a case of its own. ZEPHRIN_TEST_REGEX (what
# `./run test -R REGEX` sets) keeps only the cases whose full name "Suite.Case" matches it.

function(zephrin_test_groups target)
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_groups.cmake)
  file(GENERATE OUTPUT ${include_file} CONTENT
    "set(program [==[$<TARGET_FILE:${target}>]==])\nset(results [==[${CMAKE_BINARY_DIR}/test-results]==])\ninclude([==[${CMAKE_SOURCE_DIR}/cmake/test_group_listing.cmake]==])\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
