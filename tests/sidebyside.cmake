# Installs a Qt 5 and a Qt 6 build of lumo into one fresh prefix and checks
# that they live there side by side:
# - the second installation writes no file of the first, and leaves every file
#   of the first as it was;
# - an outside project of each Qt, built through its CMake package
#   (find_package(lumo) / find_package(lumo6)) and through pkg-config
#   (lumo / lumo6), runs on its own libraries (liblumo.so.1 and libzvlib.so.1,
#   or liblumo6.so.1 and libzvlib6.so.1, in one library folder), translation
#   and Qt alone;
# - both lumo-stamp tools check and load both libraries, and each installed
#   gallery and Designer plugin finds its own library.
#
#   cmake -DQT5_BUILD_DIR=build -DQT6_BUILD_DIR=build6 -DCONSUMER_SOURCE=tests/consumer
#         -DWORK_DIR=/tmp/side-by-side -P tests/sidebyside.cmake
#
# Both build trees must be built, tests included (their tests/layout.cmake
# describes each one's layout).
cmake_minimum_required(VERSION 3.16)
foreach(variable QT5_BUILD_DIR QT6_BUILD_DIR CONSUMER_SOURCE WORK_DIR)
    if(NOT ${variable})
        message(FATAL_ERROR "sidebyside.cmake needs -D${variable}=...")
    endif()
    get_filename_component(${variable} ${${variable}} ABSOLUTE)
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/installed.cmake)
# The programs show no window: they run without a display.
set(ENV{QT_QPA_PLATFORM} offscreen)

# The layout of both builds: Q5_LIBDIR, Q6_LIBDIR and so on, and where each
# one's Designer plugin goes (empty when it is not built or lies outside the prefix).
foreach(qt 5 6)
    set(layout ${QT${qt}_BUILD_DIR}/tests/layout.cmake)
    if(NOT EXISTS ${layout})
        message(FATAL_ERROR "${layout} is missing: is ${QT${qt}_BUILD_DIR} a lumo build tree with tests?")
    endif()
    include(${layout})
    if(NOT LAYOUT_QT_MAJOR EQUAL qt)
        message(FATAL_ERROR "${QT${qt}_BUILD_DIR} is built with Qt ${LAYOUT_QT_MAJOR}, not Qt ${qt}")
    endif()
    foreach(key CONFIG SANITIZE PACKAGE BINDIR LIBDIR PKGCONFIGDIR TRANSLATIONSDIR EXECUTABLE_SUFFIX GALLERY
            VERSION_MAJOR)
        set(Q${qt}_${key} "${LAYOUT_${key}}")
    endforeach()
    set(Q${qt}_DESIGNER "")
    file(STRINGS ${QT${qt}_BUILD_DIR}/CMakeCache.txt cache REGEX "^LUMO_(BUILD_DESIGNER|DESIGNER_PLUGIN_DIR):")
    if(cache MATCHES "LUMO_BUILD_DESIGNER:BOOL=(ON|TRUE|1)" AND cache MATCHES "LUMO_DESIGNER_PLUGIN_DIR:[A-Z]+=([^;]+)")
        if(NOT IS_ABSOLUTE ${CMAKE_MATCH_1})
            set(Q${qt}_DESIGNER ${CMAKE_MATCH_1})
        endif()
    endif()
    lumo_library_names(${qt} ${Q${qt}_VERSION_MAJOR} Q${qt}_SONAME Q${qt}_ZVLIB_SONAME Q${qt}_LINK)
    if(Q${qt}_SANITIZE)
        set(Q${qt}_FLAGS -fsanitize=address,undefined)
    else()
        set(Q${qt}_FLAGS "")
    endif()
endforeach()

# Qt 5 first, then Qt 6 into the same prefix.
install_into(${QT5_BUILD_DIR} "${Q5_CONFIG}" first_files)
set(first_hashes "")
foreach(file ${first_files})
    if(NOT IS_DIRECTORY ${file})
        file(SHA256 ${file} hash)
        list(APPEND first_hashes "${hash} ${file}")
    endif()
endforeach()
install_into(${QT6_BUILD_DIR} "${Q6_CONFIG}" second_files)

set(overwritten "")
foreach(file ${second_files})
    if(file IN_LIST first_files)
        list(APPEND overwritten ${file})
    endif()
endforeach()
if(overwritten)
    list(JOIN overwritten "\n" overwritten)
    message(FATAL_ERROR "the Qt 6 build installs files of the Qt 5 build:\n${overwritten}")
endif()
foreach(entry ${first_hashes})
    string(REGEX MATCH "^([0-9a-f]+) (.*)$" found "${entry}")
    set(file ${CMAKE_MATCH_2})
    set(hash ${CMAKE_MATCH_1})
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "${file} of the Qt 5 build is gone after installing the Qt 6 build")
    endif()
    file(SHA256 ${file} now)
    if(NOT now STREQUAL hash)
        message(FATAL_ERROR "${file} of the Qt 5 build changed when the Qt 6 build was installed")
    endif()
endforeach()
# Every file in the prefix belongs to one of the two installations.
file(GLOB_RECURSE present LIST_DIRECTORIES false ${prefix}/*)
list(REMOVE_ITEM present ${first_files} ${second_files})
if(present)
    message(FATAL_ERROR "files in the prefix that neither installation lists:\n${present}")
endif()

foreach(qt 5 6)
    set(libdir ${prefix}/${Q${qt}_LIBDIR})
    set(translations ${prefix}/${Q${qt}_TRANSLATIONSDIR})
    set(soname ${Q${qt}_SONAME})

    # CMake: find_package(lumo) or find_package(lumo6), target lumo::lumo.
    set(build ${WORK_DIR}/cmake${qt})
    run(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE} -B ${build}
        -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release -DQT_MAJOR_VERSION=${qt}
        "-DCMAKE_CXX_FLAGS=${Q${qt}_FLAGS}")
    run(${CMAKE_COMMAND} --build ${build} --target consumer --parallel 2)
    file(STRINGS ${build}/CMakeCache.txt package_dir REGEX "^${Q${qt}_PACKAGE}_DIR:")
    if(NOT package_dir MATCHES "=${prefix}/")
        message(FATAL_ERROR "the Qt ${qt} project found ${Q${qt}_PACKAGE} outside ${prefix}: ${package_dir}")
    endif()
    expect_runs_on(${build}/consumer ${qt} ${Q${qt}_VERSION_MAJOR} ${libdir} ${translations})
    expect_loaded_from(${build}/consumer ${soname} ${libdir}/${soname})

    # pkg-config: lumo.pc or lumo6.pc, both in one folder.
    set(ENV{PKG_CONFIG_PATH} ${prefix}/${Q${qt}_PKGCONFIGDIR})
    set(build ${WORK_DIR}/pkgconfig${qt})
    file(MAKE_DIRECTORY ${build})
    run(make -C ${build} -f ${CONSUMER_SOURCE}/pkgconfig/Makefile LUMO=${Q${qt}_PACKAGE}
        "CXXFLAGS=-O2 ${Q${qt}_FLAGS}" "LDFLAGS=${Q${qt}_FLAGS}")
    expect_runs_on(${build}/consumer ${qt} ${Q${qt}_VERSION_MAJOR} ${libdir} ${translations})
    expect_loaded_from(${build}/consumer ${soname} ${libdir}/${soname})

    # Each gallery loads its own library as a host package, and each
    # Designer plugin links its own.
    if(Q${qt}_GALLERY)
        set(gallery ${prefix}/${Q${qt}_BINDIR}/lumo-gallery${Q${qt}_EXECUTABLE_SUFFIX})
        expect_loaded_from(${gallery} ${soname} ${libdir}/${soname})
        execute_process(COMMAND ${gallery} --about RESULT_VARIABLE result OUTPUT_VARIABLE output)
        string(REGEX MATCH "package: ([^\n]*)" found "${output}")
        set(package ${CMAKE_MATCH_1})
        # A host opens the library by its SONAME.
        get_filename_component(package_name "${package}" NAME)
        get_filename_component(package_dir "${package}" DIRECTORY)
        get_filename_component(package_dir "${package_dir}" REALPATH)
        get_filename_component(real_libdir ${libdir} REALPATH)
        if(NOT result EQUAL 0 OR NOT package_name STREQUAL soname OR NOT package_dir STREQUAL real_libdir)
            message(FATAL_ERROR "${gallery} --about (${result}) loads '${package}', not ${libdir}/${soname}:\n${output}")
        endif()
    endif()
    if(Q${qt}_DESIGNER)
        expect_loaded_from(${prefix}/${Q${qt}_DESIGNER}/liblumodesigner.so ${soname} ${libdir}/${soname})
    endif()
endforeach()

# Either lumo-stamp reads both libraries: the layout holds, each is the
# stamped file itself, and a host loading it gets its stamp.
foreach(tool_qt 5 6)
    set(tool ${prefix}/${Q${tool_qt}_BINDIR}/lumo-stamp${Q${tool_qt}_EXECUTABLE_SUFFIX})
    foreach(qt 5 6)
        # The stamp names each build's own unversioned file: liblumo.so, liblumo6.so.
        set(library ${prefix}/${Q${qt}_LIBDIR}/${Q${qt}_SONAME})
        string(REPLACE "." "\\." filename ${Q${qt}_LINK})
        run(${tool} --check ${library})
        execute_process(COMMAND ${tool} ${library} RESULT_VARIABLE result OUTPUT_VARIABLE output)
        if(NOT result EQUAL 0 OR NOT output MATCHES "\nfilename: ${filename}\n.*\nproduct: lumo\n")
            message(FATAL_ERROR "${tool} ${library} (${result}):\n${output}")
        endif()
        # A sanitizer build's library loads only into a sanitizer build's tool.
        if(Q${tool_qt}_SANITIZE STREQUAL Q${qt}_SANITIZE)
            execute_process(COMMAND ${tool} --load ${library} RESULT_VARIABLE result OUTPUT_VARIABLE output)
            if(NOT result EQUAL 0 OR NOT output MATCHES "^\\|version_tag\\|")
                message(FATAL_ERROR "${tool} --load ${library} (${result}):\n${output}")
            endif()
        endif()
    endforeach()
endforeach()
# The Python modules, where the builds made them, share one package folder
# and each imports from there with PYTHONPATH alone.
file(GLOB_RECURSE modules ${prefix}/*/lumo.cpython-*.so ${prefix}/*/lumo6.cpython-*.so)
foreach(module ${modules})
    get_filename_component(folder ${module} DIRECTORY)
    get_filename_component(name ${module} NAME)
    string(REGEX REPLACE "\\..*" "" name ${name})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH PYTHONPATH=${folder}
            /usr/bin/python3 -c "import ${name}; print(${name}.QxDoubleSlider)"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    if(NOT result EQUAL 0 OR NOT output STREQUAL "<class '${name}.QxDoubleSlider'>\n")
        message(FATAL_ERROR "importing ${name} from ${folder} failed (${result}):\n${output}${errors}")
    endif()
endforeach()
message(STATUS "Qt 5 and Qt 6 builds of lumo installed side by side in ${prefix}")
