# Fails unless liblumo exports its public classes, the package entry and
# nothing else, and libzvlib its rounding functions and nothing else: no
# internal helper, no copy of a Qt template, no unique symbol (which would make
# a dlclose of the package a no-op).
#
#   cmake -DLUMO_LIBRARY=build/lib/liblumo.so -DZVLIB_LIBRARY=build/lib/libzvlib.so
#         "-DPUBLIC_NAMES=QxDoubleSlider;QxHelpers;..." [-DSANITIZE=ON] -P tests/exports.cmake
cmake_minimum_required(VERSION 3.16)
foreach(variable LUMO_LIBRARY ZVLIB_LIBRARY PUBLIC_NAMES)
    if(NOT ${variable})
        message(FATAL_ERROR "exports.cmake needs -D${variable}=...")
    endif()
endforeach()

# What the linker defines in every shared library.
set(linker_symbols __bss_start _edata _end _init _fini)
# What the compiler emits for a class besides its members.
set(class_parts "vtable for |typeinfo for |typeinfo name for |non-virtual thunk to |virtual thunk to |VTT for ")

# Checks the defined dynamic symbols of LIBRARY: each must start with one of
# the names in the list NAMES_VAR (as a whole name: QxComboBoxEditor is not
# QxComboBoxEditorState), and each of those names must have one.
function(check_exports library names_var)
    execute_process(COMMAND nm -D --defined-only -C ${library}
        OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT symbols)
        message(FATAL_ERROR "nm cannot list the symbols of ${library} (${result})")
    endif()
    string(REPLACE ";" "\\;" symbols "${symbols}")
    string(REPLACE "\n" ";" symbols "${symbols}")
    set(names ${${names_var}})
    set(found "")
    set(foreign "")
    foreach(line ${symbols})
        if(NOT line MATCHES "^[0-9a-f]+ ([A-Za-z]) (.*)$")
            continue()
        endif()
        set(type ${CMAKE_MATCH_1})
        set(symbol "${CMAKE_MATCH_2}")
        if(type STREQUAL "u")
            string(APPEND foreign "  unique: ${symbol}\n")
            continue()
        endif()
        # The sanitizers' instrumentation adds symbols of its own, and UBSan's
        # check of dynamic types emits the type information of Qt's classes.
        # Instrumented code also calls more of the standard library's
        # templates out of line (Qt 6's QMultiMap is a std::multimap); their
        # weak copies stay visible whatever the visibility setting, as
        # libstdc++ declares its namespace visible.
        if(symbol IN_LIST linker_symbols OR symbol MATCHES "^_+(asan|odr_asan|lsan|ubsan|sancov)"
           OR (SANITIZE AND symbol MATCHES "^typeinfo (name )?for ")
           OR (SANITIZE AND type STREQUAL "W" AND symbol MATCHES "^std::"))
            continue()
        endif()
        string(REGEX REPLACE "^(${class_parts})" "" owner "${symbol}")
        set(matched "")
        foreach(name ${names})
            if(owner MATCHES "^${name}($|::|\\()")
                set(matched ${name})
                break()
            endif()
        endforeach()
        if(matched)
            list(APPEND found ${matched})
        else()
            string(APPEND foreign "  ${symbol}\n")
        endif()
    endforeach()
    set(missing ${names})
    if(found)
        list(REMOVE_ITEM missing ${found})
    endif()
    if(foreign OR missing)
        message(FATAL_ERROR "${library} exports what is not its public interface:\n${foreign}"
            "and does not export: ${missing}")
    endif()
    list(REMOVE_DUPLICATES found)
    list(LENGTH found count)
    message(STATUS "${library}: the exports of ${count} public names and nothing else")
endfunction()

set(lumo_names ${PUBLIC_NAMES} tolmenpackage_lumo)
check_exports(${LUMO_LIBRARY} lumo_names)
set(zvlib_names ZvRoundToAmountOfDecimals ZvRoundToAmountOfSignificantDigits)
check_exports(${ZVLIB_LIBRARY} zvlib_names)
