# make_tutor end to end: the shipped description written, printed and written again gives the
# same file; a description with an overlong title is refused and writes nothing.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed (${rc}): ${err}")
    endif()
endfunction()

run("${TOOL}" write "${SOURCE}" "${WORK}/first.tut")
execute_process(COMMAND "${TOOL}" print "${WORK}/first.tut" OUTPUT_FILE "${WORK}/printed.txt"
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "print failed (${rc})")
endif()
run("${TOOL}" write "${WORK}/printed.txt" "${WORK}/second.tut")
run("${CMAKE_COMMAND}" -E compare_files "${WORK}/first.tut" "${WORK}/second.tut")

file(WRITE "${WORK}/long.txt"
    "[step chords]\ntitle = 123456789012345678901234567890123456789012345678901\n")
execute_process(COMMAND "${TOOL}" write "${WORK}/long.txt" "${WORK}/long.tut"
    RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR EXISTS "${WORK}/long.tut")
    message(FATAL_ERROR "an overlong title was written")
endif()
if(NOT err MATCHES "longer than 50")
    message(FATAL_ERROR "the refusal does not say why: ${err}")
endif()
