# Installs the build tree into a fresh prefix, then builds and runs the
# consumer against it twice: as a CMake project with find_package (lumo, or
# lumo6 for Qt 6; it also compiles every installed header on its own) and as
# a plain Makefile project with pkg-config. Both must get the German texts
# under a German locale with no code of their own, load the installed
# liblumo.so with the Qt it was built with, and load no web engine from a
# library built without a web view.
#   QT_MAJOR: 5 or 6; PACKAGE: lumo or lumo6, the CMake package and .pc name
#   LIBDIR, INCLUDEDIR, PKGCONFIGDIR, TRANSLATIONSDIR, DOCDIR: the install
#       layout, relative to the prefix
#   STAMP_TOOL: the file name of the installed lumo-stamp
#   WEB_ENGINE: the web view's engine (WebKit, WebEngine), empty for none
#   VERSION_MAJOR: lumo's major version, the number in its libraries' names
include(${CMAKE_CURRENT_LIST_DIR}/../installed.cmake)

# Runs a program and fails unless its output matches the expression.
function(expect_output regex)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output)
    if(NOT result EQUAL 0 OR NOT output MATCHES "${regex}")
        message(FATAL_ERROR "failed (${result}): ${ARGN}\nexpected: ${regex}\noutput:\n${output}")
    endif()
endfunction()

function(expect_no_web_engine what)
    if(ARGN MATCHES "WebKit|WebEngine")
        message(FATAL_ERROR "lumo was built without a web view, but ${what} names a web engine:\n${ARGN}")
    endif()
endfunction()

if(QT_MAJOR EQUAL 5)
    set(other_qt 6)
else()
    set(other_qt 5)
endif()
# The libraries by the names a program loads them by: liblumo.so.1 and
# libzvlib.so.1, for Qt 6 liblumo6.so.1 and libzvlib6.so.1.
lumo_library_names(${QT_MAJOR} ${VERSION_MAJOR} lumo_soname zvlib_soname lumo_link)

# The translations follow the locale unless LUMO_NO_TRANSLATIONS is set.
function(check_consumer program)
    run(${program})
    expect_output("title: Formular\n" ${CMAKE_COMMAND} -E env --unset=LANGUAGE LC_ALL=de_DE.UTF-8 ${program})
    expect_runs_on(${program} ${QT_MAJOR} ${VERSION_MAJOR} ${prefix}/${LIBDIR} ${prefix}/${TRANSLATIONSDIR})
    expect_output("title: Form\n"
        ${CMAKE_COMMAND} -E env --unset=LANGUAGE LC_ALL=de_DE.UTF-8 LUMO_NO_TRANSLATIONS=1 ${program})
    # The program loads the installed library and libzvlib.so beside it, and
    # one Qt only: the library's.
    foreach(library ${lumo_soname} ${zvlib_soname})
        expect_loaded_from(${program} ${library} ${prefix}/${LIBDIR}/${library})
    endforeach()
    execute_process(COMMAND ldd ${program} OUTPUT_VARIABLE libraries)
    if(NOT libraries MATCHES "libQt${QT_MAJOR}Core" OR libraries MATCHES "libQt${other_qt}")
        message(FATAL_ERROR "${program} does not load Qt ${QT_MAJOR} alone:\n${libraries}")
    endif()
    if(WEB_ENGINE)
        if(NOT libraries MATCHES "libQt${QT_MAJOR}${WEB_ENGINE}")
            message(FATAL_ERROR "ldd finds no Qt${WEB_ENGINE} in ${program}, yet lumo has QxWebView:\n${libraries}")
        endif()
    else()
        expect_no_web_engine("ldd ${program}" "${libraries}")
    endif()
endfunction()

if(WEB_ENGINE AND NOT EXISTS ${prefix}/${INCLUDEDIR}/lumo/QxWebView.h)
    message(FATAL_ERROR "QxWebView.h is not installed")
elseif(NOT WEB_ENGINE)
    if(EXISTS ${prefix}/${INCLUDEDIR}/lumo/QxWebView.h)
        message(FATAL_ERROR "QxWebView.h is installed by a build without a web view")
    endif()
    execute_process(COMMAND readelf -d ${prefix}/${LIBDIR}/${lumo_link} OUTPUT_VARIABLE dynamic)
    string(REGEX MATCHALL "NEEDED[^\n]*" needed "${dynamic}")
    expect_no_web_engine("the NEEDED entries of liblumo.so" "${needed}")
endif()
# Each library carries its versioned name, and the development link leads to it.
foreach(soname ${lumo_soname} ${zvlib_soname})
    string(REGEX REPLACE "\\.[0-9]+$" "" link ${soname})
    execute_process(COMMAND readelf -d ${prefix}/${LIBDIR}/${link} OUTPUT_VARIABLE dynamic)
    if(NOT dynamic MATCHES "\\(SONAME\\)[^\n]*\\[${soname}\\]")
        message(FATAL_ERROR "${LIBDIR}/${link} is not named ${soname}:\n${dynamic}")
    endif()
endforeach()
# <zvlib.h> has a folder of its own, not the top of the include folder.
if(EXISTS ${prefix}/${INCLUDEDIR}/zvlib.h)
    message(FATAL_ERROR "zvlib.h is installed at the top of ${INCLUDEDIR}")
endif()
if(DOCS)
    foreach(file html/index.html html/classQxSliderSpinBox.html lumo.qch)
        if(NOT EXISTS ${prefix}/${DOCDIR}/${file})
            message(FATAL_ERROR "${DOCDIR}/${file} is not installed")
        endif()
    endforeach()
    # Nothing in them names the folders the sources and the build were in.
    get_filename_component(source_dir ${CONSUMER_SOURCE}/../.. ABSOLUTE)
    execute_process(COMMAND grep -rlaF -e ${source_dir} -e ${BUILD_DIR} ${prefix}/${DOCDIR}
        RESULT_VARIABLE result OUTPUT_VARIABLE found)
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "the documentation names ${source_dir} or ${BUILD_DIR} (${result}):\n${found}")
    endif()
endif()

run(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE} -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=${CONFIG} -DQT_MAJOR_VERSION=${QT_MAJOR}
    "-DCMAKE_CXX_FLAGS=${CONSUMER_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build --parallel 2)
check_consumer(${WORK_DIR}/build/consumer)
# A program that uses no web view builds without the engine's development
# files, as if they were not installed, though the library has the web view.
if(WEB_ENGINE)
    run(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE} -B ${WORK_DIR}/build-no-engine
        -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=${CONFIG} -DQT_MAJOR_VERSION=${QT_MAJOR}
        -DCMAKE_DISABLE_FIND_PACKAGE_Qt${QT_MAJOR}${WEB_ENGINE}Widgets=ON
        "-DCMAKE_CXX_FLAGS=${CONSUMER_FLAGS}")
    run(${CMAKE_COMMAND} --build ${WORK_DIR}/build-no-engine --target consumer --parallel 2)
    run(${WORK_DIR}/build-no-engine/consumer)
endif()
# The installed library is the stamped file itself, untouched by installation,
# read through either of its names.
foreach(name ${lumo_link} ${lumo_soname})
    run(${prefix}/bin/${STAMP_TOOL} --check ${prefix}/${LIBDIR}/${name})
endforeach()

# A project on the other Qt that finds this package by mistake stops at
# configure time with lumo's message, which names the right package, whether
# it finds its Qt first or lumo first; no build files are written.
if(QT_MAJOR EQUAL 5)
    set(right_package lumo6)
else()
    set(right_package lumo)
endif()
foreach(lumo_first OFF ON)
    set(build ${WORK_DIR}/mixup-${lumo_first})
    execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER_SOURCE}/mixup -B ${build}
        -DCMAKE_PREFIX_PATH=${prefix} -DLUMO_PACKAGE=${PACKAGE} -DQT_MAJOR_VERSION=${other_qt}
        -DLUMO_FIRST=${lumo_first}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    string(REGEX REPLACE "[ \n]+" " " flat "${output}")
    if(result EQUAL 0 OR NOT flat MATCHES "lumo for Qt ${QT_MAJOR}.* uses Qt ${other_qt}.*find_package\\(${right_package}\\)"
       OR EXISTS ${build}/Makefile)
        message(FATAL_ERROR "a Qt ${other_qt} project finding ${PACKAGE} (lumo first: ${lumo_first}) "
            "does not stop with lumo's message (${result}):\n${output}")
    endif()
endforeach()

# pkg-config users find the same library, headers and translations, and build
# with nothing else.
set(ENV{PKG_CONFIG_PATH} ${prefix}/${PKGCONFIGDIR})
run(pkg-config --exists --print-errors ${PACKAGE})
execute_process(COMMAND pkg-config --print-requires ${PACKAGE} OUTPUT_VARIABLE requires)
if(NOT requires MATCHES "Qt${QT_MAJOR}Widgets" OR requires MATCHES "Qt${other_qt}")
    message(FATAL_ERROR "${PACKAGE}.pc requires another Qt than Qt ${QT_MAJOR}:\n${requires}")
endif()
if(NOT WEB_ENGINE)
    expect_no_web_engine("pkg-config --print-requires ${PACKAGE}" "${requires}")
endif()
execute_process(COMMAND pkg-config --variable=translationsdir ${PACKAGE}
    OUTPUT_VARIABLE translations OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT EXISTS "${translations}/lumo_de.qm")
    message(FATAL_ERROR "${PACKAGE}.pc's translationsdir holds no lumo_de.qm: '${translations}'")
endif()
file(MAKE_DIRECTORY ${WORK_DIR}/pkgconfig)
run(make -C ${WORK_DIR}/pkgconfig -f ${CONSUMER_SOURCE}/pkgconfig/Makefile LUMO=${PACKAGE}
    "CXXFLAGS=-O2 ${CONSUMER_FLAGS}" "LDFLAGS=${CONSUMER_FLAGS}")
check_consumer(${WORK_DIR}/pkgconfig/consumer)

# As a distribution packages it: into a staging folder (DESTDIR) with the
# prefix /usr, stripped. The stripped library still passes its own check.
set(ENV{DESTDIR} ${WORK_DIR}/destdir)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr --config ${CONFIG} --strip)
unset(ENV{DESTDIR})
set(staged ${WORK_DIR}/destdir/usr)
execute_process(COMMAND readelf -S ${staged}/${LIBDIR}/${lumo_link} OUTPUT_VARIABLE sections)
if(NOT sections MATCHES "\\.dynsym" OR sections MATCHES "\\.symtab")
    message(FATAL_ERROR "cmake --install --strip left ${LIBDIR}/${lumo_link} unstripped:\n${sections}")
endif()
foreach(name ${lumo_link} ${lumo_soname})
    run(${staged}/bin/${STAMP_TOOL} --check ${staged}/${LIBDIR}/${name})
endforeach()
