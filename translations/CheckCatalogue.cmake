# The English catalogue against the code (ctest core_catalogue_complete): every message the
# code marks has an English text that is neither fuzzy nor missing, the catalogue holds no
# message the code no longer has and no obsolete entry, and msgfmt --check accepts it.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${ARGN}\n${out}${err}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()

run(${XGETTEXT} ${OPTIONS} -o ${POT})
# Each message of the code translated (untranslated and fuzzy entries count as missing)...
run(${MSGCMP} ${PO} ${POT})
# ... and each entry of the catalogue still a message of the code.
run(${MSGCMP} --use-untranslated --use-fuzzy ${POT} ${PO})
foreach(kind obsolete fuzzy)
    run(${MSGATTRIB} --only-${kind} --no-wrap ${PO})
    if(NOT output STREQUAL "")
        message(FATAL_ERROR "${PO} has ${kind} entries:\n${output}")
    endif()
endforeach()
run(${MSGFMT} --check --statistics -o /dev/null ${PO})
message(STATUS "${PO}: complete")
