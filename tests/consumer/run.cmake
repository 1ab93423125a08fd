# Installs the build tree into a fresh prefix, then builds and runs the
# consumer against it twice: as a CMake project with find_package(lumo) (which
# also compiles every installed header on its own) and as a plain Makefile
# project with pkg-config. Both must get the German texts under a German
# locale with no code of their own, and neither may load QtWebKit from a
# library built without it.
include(${CMAKE_CURRENT_LIST_DIR}/../installed.cmake)

# Runs a program and fails unless its output matches the expression.
function(expect_output regex)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output)
    if(NOT result EQUAL 0 OR NOT output MATCHES "${regex}")
        message(FATAL_ERROR "failed (${result}): ${ARGN}\nexpected: ${regex}\noutput:\n${output}")
    endif()
endfunction()

function(expect_no_webkit what)
    if(ARGN MATCHES "WebKit")
        message(FATAL_ERROR "lumo was built without WebKit, but ${what} names it:\n${ARGN}")
    endif()
endfunction()

# The translations follow the locale unless LUMO_NO_TRANSLATIONS is set.
function(check_consumer program)
    run(${program})
    expect_output("title: Formular\n" ${CMAKE_COMMAND} -E env --unset=LANGUAGE LC_ALL=de_DE.UTF-8 ${program})
    expect_output("title: Form\n"
        ${CMAKE_COMMAND} -E env --unset=LANGUAGE LC_ALL=de_DE.UTF-8 LUMO_NO_TRANSLATIONS=1 ${program})
    execute_process(COMMAND ldd ${program} OUTPUT_VARIABLE libraries)
    if(WITH_WEBKIT)
        if(NOT libraries MATCHES "libQt5WebKit")
            message(FATAL_ERROR "ldd finds no QtWebKit in ${program}, yet lumo has QxWebView:\n${libraries}")
        endif()
    else()
        expect_no_webkit("ldd ${program}" "${libraries}")
    endif()
endfunction()


if(WITH_WEBKIT AND NOT EXISTS ${prefix}/include/lumo/QxWebView.h)
    message(FATAL_ERROR "QxWebView.h is not installed")
elseif(NOT WITH_WEBKIT)
    if(EXISTS ${prefix}/include/lumo/QxWebView.h)
        message(FATAL_ERROR "QxWebView.h is installed by a build without WebKit")
    endif()
    execute_process(COMMAND readelf -d ${prefix}/lib/liblumo.so OUTPUT_VARIABLE dynamic)
    string(REGEX MATCHALL "NEEDED[^\n]*" needed "${dynamic}")
    expect_no_webkit("the NEEDED entries of liblumo.so" "${needed}")
endif()
if(DOCS)
    foreach(file html/index.html html/classQxSliderSpinBox.html lumo.qch)
        if(NOT EXISTS ${prefix}/share/doc/lumo/${file})
            message(FATAL_ERROR "share/doc/lumo/${file} is not installed")
        endif()
    endforeach()
endif()

run(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE} -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=${CONFIG}
    "-DCMAKE_CXX_FLAGS=${CONSUMER_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build --parallel 2)
check_consumer(${WORK_DIR}/build/consumer)
# The installed library is the stamped file itself, untouched by installation.
run(${prefix}/bin/lumo-stamp --check ${prefix}/lib/liblumo.so)

# pkg-config users find the same library, headers and translations, and build
# with nothing else.
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run(pkg-config --exists --print-errors lumo)
execute_process(COMMAND pkg-config --print-requires lumo OUTPUT_VARIABLE requires)
if(NOT WITH_WEBKIT)
    expect_no_webkit("pkg-config --print-requires lumo" "${requires}")
endif()
execute_process(COMMAND pkg-config --variable=translationsdir lumo
    OUTPUT_VARIABLE translations OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT EXISTS "${translations}/lumo_de.qm")
    message(FATAL_ERROR "lumo.pc's translationsdir holds no lumo_de.qm: '${translations}'")
endif()
file(MAKE_DIRECTORY ${WORK_DIR}/pkgconfig)
run(make -C ${WORK_DIR}/pkgconfig -f ${CONSUMER_SOURCE}/pkgconfig/Makefile
    "CXXFLAGS=-O2 ${CONSUMER_FLAGS}" "LDFLAGS=${CONSUMER_FLAGS}")
check_consumer(${WORK_DIR}/pkgconfig/consumer)
