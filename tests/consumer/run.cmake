# Installs the build tree into a fresh prefix, then configures, builds and runs
# the consumer project against it with find_package(lumo).
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed (${result}): ${ARGN}")
    endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --config ${CONFIG})
run(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE} -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=${CONFIG}
    "-DCMAKE_CXX_FLAGS=${CONSUMER_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/consumer)
# The installed library is the stamped file itself, untouched by installation.
run(${prefix}/bin/lumo-stamp --check ${prefix}/lib/liblumo.so)
# pkg-config users find the same library and headers.
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run(pkg-config --exists --print-errors lumo)
execute_process(COMMAND pkg-config --cflags-only-I lumo OUTPUT_VARIABLE flags)
string(REGEX MATCH "-I([^ ]*)" include "${flags}")
if(NOT EXISTS "${CMAKE_MATCH_1}/lumo/QxCustomValidator.h")
    message(FATAL_ERROR "lumo.pc points at no installed headers: ${flags}")
endif()
