# How a test of lumo is declared: every test program, CMake script and
# command of the tree goes through lumo_add_test(), which owns the one test
# environment.
#
#   lumo_add_test(<name>
#       [SOURCES source...]        build a Qt Test program from these sources
#       [TARGET program]           its name (default tst_<name>), or the
#                                  program to run when there are no SOURCES
#       [LIBRARIES lib...]         linked besides Qt Test (default lumo::lumo)
#       [COMMAND arg...]           what to run (default the program, no arguments)
#       [LABELS label...]          unit (the default: fast, no server, no
#                                  install) or integration
#       [TIMEOUT seconds]          default 300
#       [ENVIRONMENT VAR=value...] added to the environment below
#       [DISPLAY]                  needs the X server (QT_QPA_PLATFORM=xcb);
#                                  adds the label gui
#       [WEBENGINE]                starts Qt WebEngine (as root, under the
#                                  sanitizers: see the top level)
#       [RUN_SERIAL])              needs its window to stay the active one
#
# Labels: `ctest -L unit` is the fast loop, `-L gui` what needs the display,
# `-L integration` the real mail servers, the soak, installs and snapshots.
#
# The environment: the C locale with UTF-8, and the sanitizer options. In the
# sanitizer build any report fails the test: ASan and LSan exit non-zero by
# themselves, UBSan is built not to recover. Leaks that Qt and the X
# libraries keep for the process lifetime are suppressed by library name in
# tests/lsan.supp; our own code never is.

find_package(${LUMO_QT} ${LUMO_QT_MINIMUM_VERSION} REQUIRED COMPONENTS Test)

set(LUMO_TEST_ENVIRONMENT
    LC_ALL=C.UTF-8
    LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0
    ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1)

function(lumo_add_test name)
    # PARSE_ARGV keeps an argument that holds a list ("-DNAMES=a;b") whole.
    cmake_parse_arguments(PARSE_ARGV 1 TEST "DISPLAY;WEBENGINE;RUN_SERIAL" "TARGET;TIMEOUT"
        "SOURCES;LIBRARIES;COMMAND;LABELS;ENVIRONMENT")
    if(TEST_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "lumo_add_test(${name}): unknown arguments ${TEST_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT TEST_TARGET)
        set(TEST_TARGET tst_${name})
    endif()
    if(TEST_SOURCES)
        if(NOT DEFINED TEST_LIBRARIES)
            set(TEST_LIBRARIES lumo::lumo)
        endif()
        add_executable(${TEST_TARGET} ${TEST_SOURCES})
        set_target_properties(${TEST_TARGET} PROPERTIES AUTOMOC ON)
        target_link_libraries(${TEST_TARGET} PRIVATE ${TEST_LIBRARIES} ${LUMO_QT}::Test)
    endif()
    if(NOT TEST_COMMAND)
        set(TEST_COMMAND ${TEST_TARGET})
    endif()
    if(NOT TEST_LABELS)
        set(TEST_LABELS unit)
    endif()
    if(NOT TEST_TIMEOUT)
        set(TEST_TIMEOUT 300)
    endif()

    set(environment ${LUMO_TEST_ENVIRONMENT} ${TEST_ENVIRONMENT})
    if(TEST_DISPLAY)
        list(APPEND environment QT_QPA_PLATFORM=xcb)
        list(APPEND TEST_LABELS gui)
    endif()
    if(TEST_WEBENGINE)
        list(APPEND environment ${LUMO_WEBENGINE_TEST_ENVIRONMENT})
        if(LUMO_WEBENGINE_ASAN_OPTIONS)
            list(TRANSFORM environment APPEND ":${LUMO_WEBENGINE_ASAN_OPTIONS}" REGEX "^ASAN_OPTIONS=")
        endif()
    endif()

    add_test(NAME ${name} COMMAND ${TEST_COMMAND})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${environment}"
        LABELS "${TEST_LABELS}"
        TIMEOUT ${TEST_TIMEOUT}
        RUN_SERIAL ${TEST_RUN_SERIAL})
endfunction()
