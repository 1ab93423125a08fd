# Installs the build tree into a fresh prefix, then configures and builds the
# forms project against it and runs it with the installed Designer plugin.
#   BUILD_DIR, CONFIG, WORK_DIR, SOURCE_DIR, FLAGS: as for ../consumer/run.cmake
#   PLUGIN_DIR: where the Designer plugin is installed, relative to the prefix
#               unless absolute
#   QT_MAJOR, LIBDIR: the Qt (5 or 6) and the library folder below the prefix
#   VERSION_MAJOR: lumo's major version, the number in its libraries' names
if(IS_ABSOLUTE ${PLUGIN_DIR})
    message(FATAL_ERROR "the plugin folder must lie below the install prefix: ${PLUGIN_DIR}")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/../installed.cmake)

set(designer ${prefix}/${PLUGIN_DIR})

if(NOT EXISTS ${designer}/liblumodesigner.so)
    message(FATAL_ERROR "no Designer plugin installed in ${designer}")
endif()
# The plugin's run path leads to the lumo installed with it.
lumo_library_names(${QT_MAJOR} ${VERSION_MAJOR} soname zvlib_soname link)
expect_loaded_from(${designer}/liblumodesigner.so ${soname} ${prefix}/${LIBDIR}/${soname})
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=${CONFIG} -DQT_MAJOR_VERSION=${QT_MAJOR}
    -DDESIGNER_PLUGINS=${designer}
    "-DCMAKE_CXX_FLAGS=${FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
# QT_PLUGIN_PATH names the folder above designer/, as an application's
# environment would; the program also tries QUiLoader::addPluginPath alone.
get_filename_component(plugins ${designer} DIRECTORY)
set(ENV{QT_PLUGIN_PATH} ${plugins})
run(${WORK_DIR}/build/forms)
