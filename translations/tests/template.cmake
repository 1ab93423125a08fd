# Extracts the texts of the sources afresh and compares them, context by
# context, with the committed template: a text added to the library but not
# to lumo.ts (or removed from the library but kept there) fails.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${LUPDATE} ${ARGUMENTS} -ts ${WORK_DIR}/lumo.ts
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed (${result})")
endif()
file(STRINGS ${WORK_DIR}/lumo.ts fresh REGEX "<name>|<source>")
file(STRINGS ${TEMPLATE} committed REGEX "<name>|<source>")
if(NOT fresh STREQUAL committed)
    string(REPLACE ";" "\n" fresh "${fresh}")
    string(REPLACE ";" "\n" committed "${committed}")
    message(FATAL_ERROR "translations/lumo.ts is out of date; run the lumo-lupdate target.\n"
        "Sources:\n${fresh}\nTemplate:\n${committed}")
endif()
