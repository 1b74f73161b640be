# Included by CTest (sets `source` and `results`): the tests of ./run's own scripts, run in the shell without
# Wine or a lane. A case is a function "Suite.Case" of the test script; ZEPHRIN_TEST_REGEX selects as for
# the programs' cases (test_group_listing.cmake).
set(script ${source}/tests/scripts/test_summary_test.sh)
file(STRINGS ${script} lines REGEX "^TestSummary\\.[A-Za-z]+\\(\\)")
set(regex "$ENV{ZEPHRIN_TEST_REGEX}")
set(cases)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "\\(\\).*" "" case "${line}")
  if(NOT regex OR case MATCHES "${regex}")
    list(APPEND cases ${case})
  endif()
endforeach()
if(cases)
  add_test(TestSummary ${script} ${results} ${cases})
  set_tests_properties(TestSummary PROPERTIES TIMEOUT 60)
endif()
