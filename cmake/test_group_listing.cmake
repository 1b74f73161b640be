# Included by CTest for one test program (sets `program` and `results`): lists its cases and adds one test
# per group. See test_groups.cmake.
cmake_policy(VERSION 3.25)

# Cases that need a process of their own (regular expressions over "Suite.Case").
set(zephrin_own_process_cases
  # registers the toolkit's window class name before the toolkit does, which only a fresh process can
  "^Window\\.ClassNameFallsBackWhenTheNameIsTaken$"
  # leaves the module it loads pinned in the process
  "^ModuleLifetime\\.NameLookupHangingAtQuitFindsTheModuleStillThere$"
)

# Suites that write the host's "Presets" folder beside the test program: never two at once.
set(zephrin_presets_folder_suites "^(CatalogueBuildingTest|IdleWorkTest)$")

get_filename_component(here ${CMAKE_CURRENT_LIST_FILE} DIRECTORY)
set(listing ${program}.cases)
if(NOT EXISTS ${listing} OR ${program} IS_NEWER_THAN ${listing})
  execute_process(COMMAND ${here}/wine-run.sh ${program} --gtest_list_tests
    OUTPUT_VARIABLE output RESULT_VARIABLE status TIMEOUT 120)
  if(NOT status EQUAL 0)
    get_filename_component(name ${program} NAME_WE)
    add_test(${name}_cannot_list_its_cases /bin/sh -c "echo 'cannot list the cases of ${program}:'; cat <<'END'\n${output}\nEND\nexit 1")
    return()
  endif()
  file(WRITE ${listing} "${output}")
endif()
file(STRINGS ${listing} lines)

# Each group takes one test lane while it runs (scripts/test-lanes.sh).
set(group_properties TIMEOUT 330 WORKING_DIRECTORY ${results}/../bin RESOURCE_GROUPS lanes:1)

set(regex "$ENV{ZEPHRIN_TEST_REGEX}")
set(suites)
foreach(line IN LISTS lines)
  if(line MATCHES "^([^ #][^ ]*)\\.")
    set(suite ${CMAKE_MATCH_1})
  elseif(line MATCHES "^  ([^ #]+)")
    set(case ${suite}.${CMAKE_MATCH_1})
    if(regex AND NOT case MATCHES "${regex}")
      continue()
    endif()
    set(own FALSE)
    foreach(pattern IN LISTS zephrin_own_process_cases)
      if(case MATCHES "${pattern}")
        set(own TRUE)
      endif()
    endforeach()
    if(own)
      add_test(${case} ${here}/run-test-group.sh ${results} ${case} ${program} ${case})
      set_tests_properties(${case} PROPERTIES ${group_properties})
    else()
      if(NOT suite IN_LIST suites)
        list(APPEND suites ${suite})
        set(filter_${suite})
      endif()
      list(APPEND filter_${suite} ${case})
    endif()
  endif()
endforeach()

foreach(suite IN LISTS suites)
  list(JOIN filter_${suite} ":" filter)
  add_test(${suite} ${here}/run-test-group.sh ${results} ${suite} ${program} ${filter})
  set_tests_properties(${suite} PROPERTIES ${group_properties})
  if(suite MATCHES "${zephrin_presets_folder_suites}")
    set_tests_properties(${suite} PROPERTIES RESOURCE_LOCK presets_folder)
  endif()
endforeach()
