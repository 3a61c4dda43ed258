# Lists the tests of a test program (run after it is built) and writes the
# ctest file that runs them:
# - a unit or window test program runs once per test suite (its tests take a
#   few milliseconds; a process per test would mostly spend its time starting
#   the application);
# - an end-to-end suite (a program and quorelsim on a pseudo-terminal) runs
#   one test per process, labelled e2e, under the resource lock "pty": one at
#   a time, while the other tests run beside it;
# - a suite whose tests run for seconds each (SPLIT) runs one test per
#   process as well, so that its tests spread over the processors;
# - the unit and window tests run at a lower priority (nice), so that they
#   never hold up the end-to-end test beside them.
#
# -D TEST_EXECUTABLE=... -D LABEL=unit|window -D E2E=<regex of suite names>
# -D SPLIT=<regex of suite names, or empty> -D CTEST_FILE=<the file written>
cmake_minimum_required(VERSION 3.21)

execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen
            "${TEST_EXECUTABLE}" --gtest_list_tests
    OUTPUT_VARIABLE listing
    RESULT_VARIABLE result
    TIMEOUT 120)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TEST_EXECUTABLE} --gtest_list_tests failed (${result}):\n${listing}")
endif()

get_filename_component(program "${TEST_EXECUTABLE}" NAME)
set(script "")
set(suite "")
set(kind "")
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")

find_program(nice nice)
function(add_entry name filter label)
    set(command "[==[${TEST_EXECUTABLE}]==] [==[--gtest_filter=${filter}]==]")
    if(nice AND NOT label STREQUAL "e2e")
        set(command "[==[${nice}]==] -n 5 ${command}")
    endif()
    string(APPEND script
        "add_test([==[${program}:${name}]==] ${command})\n"
        "set_tests_properties([==[${program}:${name}]==] PROPERTIES LABELS ${label} "
        "ENVIRONMENT QT_QPA_PLATFORM=offscreen ${ARGN})\n")
    set(script "${script}" PARENT_SCOPE)
endfunction()

foreach(line IN LISTS lines)
    # "Suite.  # TypeParam = ..." starts a suite; "  Test  # GetParam() = ..." is one of its tests.
    string(REGEX REPLACE " *#.*" "" line "${line}")
    if(line MATCHES "^([^ ].*)\\.$")
        set(suite "${CMAKE_MATCH_1}")
        if(suite MATCHES "${E2E}")
            set(kind e2e)
        elseif(NOT SPLIT STREQUAL "" AND suite MATCHES "${SPLIT}")
            set(kind split)
        else()
            set(kind "")
            add_entry("${suite}" "${suite}.*" ${LABEL})
        endif()
    elseif(kind STREQUAL "e2e" AND line MATCHES "^  ([^ ]+)$")
        # The end-to-end tests wait on real time: they start first.
        add_entry("${suite}.${CMAKE_MATCH_1}" "${suite}.${CMAKE_MATCH_1}" e2e
            RESOURCE_LOCK pty COST 1000)
    elseif(kind STREQUAL "split" AND line MATCHES "^  ([^ ]+)$")
        add_entry("${suite}.${CMAKE_MATCH_1}" "${suite}.${CMAKE_MATCH_1}" ${LABEL} COST 100)
    endif()
endforeach()

file(WRITE "${CTEST_FILE}" "${script}")
