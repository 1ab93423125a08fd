# The installed module: in a fresh prefix, Python finds it with PYTHONPATH
# alone (no LD_LIBRARY_PATH), and it loads the lumo library of that prefix
# through its own run path.
include(${TESTS_DIR}/installed.cmake)

set(module_dir ${prefix}/${PYTHON_DIR})
file(GLOB module ${module_dir}/${MODULE}.*.so)
if(NOT module)
    message(FATAL_ERROR "no ${MODULE} module installed in ${module_dir}")
endif()

lumo_library_names(${QT_MAJOR} ${VERSION_MAJOR} lumo_soname zvlib_soname lumo_link)
expect_loaded_from(${module} ${lumo_soname} ${prefix}/${LIBDIR}/${lumo_soname})
execute_process(COMMAND readelf -d ${module} OUTPUT_VARIABLE dynamic)
if(NOT dynamic MATCHES "(RUNPATH|RPATH)[^\n]*\\[\\$ORIGIN/")
    message(FATAL_ERROR "${module} has no run path relative to itself:\n${dynamic}")
endif()

# Beside it, its type hints, which name what the module holds.
execute_process(
    COMMAND ${PYTHON} -c "import ast, sys; names = {node.name for node in ast.parse(open(sys.argv[1]).read()).body if isinstance(node, ast.ClassDef)}; sys.exit('QxSmtpMailSender' not in names)"
        ${module_dir}/${MODULE}.pyi
    RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${module_dir}/${MODULE}.pyi is missing or does not hold the classes:\n${errors}")
endif()

execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH PYTHONPATH=${module_dir}
        ${PYTHON} -c "import ${MODULE}; print(${MODULE}.__file__); print(${MODULE}.QxDoubleSlider)"
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
get_filename_component(expected ${module} REALPATH)
if(NOT result EQUAL 0 OR NOT output STREQUAL "${expected}\n<class '${MODULE}.QxDoubleSlider'>\n")
    message(FATAL_ERROR "importing ${MODULE} from the prefix failed (${result}):\n${output}${errors}")
endif()
