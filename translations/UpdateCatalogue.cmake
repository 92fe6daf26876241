# The target update-core-catalogue: kestrel-core.pot made anew from the marked messages, then
# merged into the English catalogue. A template that differs from the one in the tree only by
# its creation date is not written, so that regenerating without a change of message changes
# no file.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${ARGN}\n${err}")
    endif()
endfunction()

function(without_date file out)
    file(READ ${file} text)
    string(REGEX REPLACE "\"POT-Creation-Date: [^\"]*\"\n" "" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

run(${XGETTEXT} ${OPTIONS} -o ${POT}.new)
without_date(${POT}.new fresh)
set(kept "")
if(EXISTS ${POT})
    without_date(${POT} kept)
endif()
if(fresh STREQUAL kept)
    file(REMOVE ${POT}.new)
else()
    file(RENAME ${POT}.new ${POT})
endif()
run(${MSGMERGE} --quiet --update --backup=none --no-fuzzy-matching ${PO} ${POT})
