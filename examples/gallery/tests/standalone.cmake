# Builds the gallery as an application outside lumo's tree does: installs the
# lumo build BUILD_DIR into WORK_DIR/prefix, configures and builds the gallery's
# folder alone against that prefix, and runs lumo-gallery --about from there.
# The gallery must load the installed library, the one it links.
#   cmake -DBUILD_DIR=<lumo build> -DWORK_DIR=<dir> -DQT_MAJOR=5|6 -DVERSION_MAJOR=<n>
#         [-DCONFIG=<type>] -P standalone.cmake
if(NOT BUILD_DIR OR NOT WORK_DIR OR NOT QT_MAJOR MATCHES "^[56]$" OR NOT VERSION_MAJOR)
    message(FATAL_ERROR "usage: cmake -DBUILD_DIR=<lumo build> -DWORK_DIR=<dir> -DQT_MAJOR=5|6 -DVERSION_MAJOR=<n> -P standalone.cmake")
endif()
if(NOT CONFIG)
    set(CONFIG Release)
endif()
# Empties WORK_DIR and installs BUILD_DIR into WORK_DIR/prefix.
include(${CMAKE_CURRENT_LIST_DIR}/../../../tests/installed.cmake)

get_filename_component(gallery_source ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(gallery_build ${WORK_DIR}/build)
run(${CMAKE_COMMAND} -S ${gallery_source} -B ${gallery_build}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=${CONFIG} -DQT_MAJOR_VERSION=${QT_MAJOR})
run(${CMAKE_COMMAND} --build ${gallery_build} --parallel 2 --target lumo-gallery)

if(QT_MAJOR EQUAL 6)
    set(gallery ${gallery_build}/lumo-gallery6)
else()
    set(gallery ${gallery_build}/lumo-gallery)
endif()
execute_process(COMMAND ${gallery} --about RESULT_VARIABLE result OUTPUT_VARIABLE output
    ERROR_VARIABLE errors)
lumo_library_names(${QT_MAJOR} ${VERSION_MAJOR} lumo_soname zvlib_soname lumo_link)
string(REPLACE "." "\\." link_pattern ${lumo_link})
if(NOT result EQUAL 0 OR NOT output MATCHES "version_tag: .*filename: ${link_pattern}\n.*version_patch: ")
    message(FATAL_ERROR "${gallery} --about failed (${result}):\n${output}${errors}")
endif()
string(REGEX MATCH "^package: ([^\n]*)" found "${output}")
set(package ${CMAKE_MATCH_1})
get_filename_component(real_prefix ${prefix} REALPATH)
get_filename_component(real_package "${package}" REALPATH)
string(FIND "${real_package}" "${real_prefix}/" at)
if(NOT at EQUAL 0)
    message(FATAL_ERROR "${gallery} --about read '${package}', not a library installed in ${prefix}")
endif()
expect_loaded_from(${gallery} ${lumo_soname} ${package})
message("${output}")
