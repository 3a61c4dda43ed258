# Test code and test programs.

# Test code is compiled without optimisation in every tree: it builds in half
# the time (a third under the sanitizers), and the libraries it tests keep the
# tree's own flags.
function(quorel_test_code target)
    target_compile_options(${target} PRIVATE -O0)
    set_property(TARGET ${target} PROPERTY QUOREL_TEST_CODE TRUE)
endfunction()

# `tests` builds every test program and what they run, nothing else.
add_custom_target(tests)

# A test program: test code, built by `tests`, its tests listed for ctest once
# it is built (discover_tests.cmake). Every test carries a label: unit (model
# code), window (windows on a simulated line) or e2e (programs and ports on a
# pseudo-terminal against quorelsim, one at a time). Suites whose name matches
# the program's QUOREL_E2E_SUITES (default: ending in "EndToEnd") are
# end-to-end; those matching QUOREL_SPLIT_SUITES run a process per test.
function(quorel_test_program name label)
    add_dependencies(tests ${name})
    quorel_test_code(${name})
    set_property(TARGET ${name} PROPERTY QUOREL_E2E_SUITES "EndToEnd$")
    set_property(TARGET ${name} PROPERTY QUOREL_SPLIT_SUITES "")
    set(tests_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_tests.cmake")
    # Listed anew when the listing changes, too (a relink runs it).
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS
        "${PROJECT_SOURCE_DIR}/cmake/discover_tests.cmake")
    add_custom_command(TARGET ${name} POST_BUILD
        BYPRODUCTS "${tests_file}"
        COMMAND "${CMAKE_COMMAND}" -D "TEST_EXECUTABLE=$<TARGET_FILE:${name}>"
                -D "LABEL=${label}" -D "E2E=$<TARGET_PROPERTY:${name},QUOREL_E2E_SUITES>"
                -D "SPLIT=$<TARGET_PROPERTY:${name},QUOREL_SPLIT_SUITES>"
                -D "CTEST_FILE=${tests_file}" -P "${PROJECT_SOURCE_DIR}/cmake/discover_tests.cmake"
        VERBATIM)
    file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake"
        "if(EXISTS \"${tests_file}\")\n"
        "  include(\"${tests_file}\")\n"
        "else()\n"
        "  add_test(${name}_NOT_BUILT ${name}_NOT_BUILT)\n"
        "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
        "${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake")
endfunction()
