# What the installed-package scripts share: a fresh prefix under WORK_DIR,
# with the build tree BUILD_DIR (CONFIG) installed into it when BUILD_DIR is
# given, and the functions below.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed (${result}): ${ARGN}")
    endif()
endfunction()

# The names of lumo's libraries built with Qt QT_MAJOR in version VERSION_MAJOR:
# SONAME_VAR and ZVLIB_SONAME_VAR receive the names programs load
# (liblumo.so.1, libzvlib.so.1; Qt 6: liblumo6.so.1, libzvlib6.so.1), LINK_VAR
# the development link (liblumo.so; Qt 6: liblumo6.so).
function(lumo_library_names qt_major version_major soname_var zvlib_soname_var link_var)
    if(qt_major EQUAL 6)
        set(suffix 6)
    else()
        set(suffix "")
    endif()
    set(${soname_var} liblumo${suffix}.so.${version_major} PARENT_SCOPE)
    set(${zvlib_soname_var} libzvlib${suffix}.so.${version_major} PARENT_SCOPE)
    set(${link_var} liblumo${suffix}.so PARENT_SCOPE)
endfunction()

# Fails unless the dynamic loader finds the shared library NAME for FILE (a
# program or library) at EXPECTED; the paths compare as real paths, since run
# paths like $ORIGIN/../.. reach a folder by a detour.
function(expect_loaded_from file name expected)
    execute_process(COMMAND ldd ${file} OUTPUT_VARIABLE libraries RESULT_VARIABLE result)
    string(REPLACE "." "\\." pattern ${name})
    string(REGEX MATCH "\n[ \t]*${pattern} => ([^ \n]+)" found "\n${libraries}")
    set(path ${CMAKE_MATCH_1})
    if(path)
        get_filename_component(path ${path} REALPATH)
    endif()
    get_filename_component(expected ${expected} REALPATH)
    if(NOT result EQUAL 0 OR NOT path STREQUAL expected)
        message(FATAL_ERROR "${file} loads ${name} from '${path}', not ${expected}:\n${libraries}")
    endif()
endfunction()

# Runs PROGRAM, a build of consumer/main.cpp, under a German locale and fails
# unless the process ran on Qt QT_MAJOR alone, on the libraries of lumo for that
# Qt (liblumo.so.1 and libzvlib.so.1, or liblumo6.so.1 and libzvlib6.so.1) from
# LIBDIR, in version VERSION_MAJOR, and on the German translation from TRANSLATIONS_DIR.
function(expect_runs_on program qt_major version_major libdir translations_dir)
    lumo_library_names(${qt_major} ${version_major} lumo_soname zvlib_soname lumo_link)
    string(REPLACE "." "\\." own_libraries "^(${lumo_soname}|${zvlib_soname})")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LANGUAGE LC_ALL=de_DE.UTF-8 ${program}
        RESULT_VARIABLE result OUTPUT_VARIABLE output)
    set(failure "")
    string(REGEX MATCH "\nlumo: ([^\n]*)" found "\n${output}")
    get_filename_component(expected ${libdir}/${lumo_soname} REALPATH)
    if(NOT CMAKE_MATCH_1 STREQUAL expected)
        string(APPEND failure "${lumo_soname} is not ${expected}\n")
    endif()
    string(REGEX MATCH "\nqt: ([^\n]*)" found "\n${output}")
    if(NOT CMAKE_MATCH_1 MATCHES "^${qt_major}\\.")
        string(APPEND failure "Qt is not Qt ${qt_major}\n")
    endif()
    string(REGEX MATCH "\ntranslations: ([^\n]*)" found "\n${output}")
    set(qm ${CMAKE_MATCH_1})
    if(qm)
        get_filename_component(qm ${qm} REALPATH)
    endif()
    get_filename_component(expected ${translations_dir}/lumo_de.qm REALPATH)
    if(NOT qm STREQUAL expected)
        string(APPEND failure "the translation is not ${expected}\n")
    endif()
    get_filename_component(libdir ${libdir} REALPATH)
    string(REGEX MATCHALL "mapped: [^\n]*" mapped "${output}")
    if(NOT mapped MATCHES "/libQt${qt_major}Core")
        string(APPEND failure "no Qt ${qt_major} mapped\n")
    endif()
    foreach(line ${mapped})
        string(REGEX REPLACE "^mapped: " "" path "${line}")
        get_filename_component(name ${path} NAME)
        get_filename_component(dir ${path} DIRECTORY)
        get_filename_component(dir ${dir} REALPATH)
        if(name MATCHES "^libQt" AND NOT name MATCHES "^libQt${qt_major}")
            string(APPEND failure "${path} is mapped\n")
        elseif(name MATCHES "^(liblumo|libzvlib)"
               AND (NOT dir STREQUAL libdir OR NOT name MATCHES "${own_libraries}"))
            string(APPEND failure "${path} is mapped\n")
        endif()
    endforeach()
    if(NOT result EQUAL 0 OR failure)
        message(FATAL_ERROR "failed (${result}): ${program}\n${failure}output:\n${output}")
    endif()
endfunction()

# Installs the build tree BUILD into the prefix; FILES_VAR receives every file
# the installation wrote, or would have written had it not been there already.
function(install_into build config files_var)
    execute_process(COMMAND ${CMAKE_COMMAND} --install ${build} --prefix ${prefix} --config ${config}
        RESULT_VARIABLE result OUTPUT_VARIABLE output)
    message("${output}")
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed (${result}): installing ${build}")
    endif()
    string(REGEX MATCHALL "-- (Installing|Up-to-date): [^\n]*" lines "${output}")
    list(TRANSFORM lines REPLACE "^-- [^:]*: " "")
    set(${files_var} ${lines} PARENT_SCOPE)
endfunction()

if(BUILD_DIR)
    install_into(${BUILD_DIR} "${CONFIG}" installed_files)
endif()
