# Run by cpack before it packs. The archive's file times come from SOURCE_DATE_EPOCH where it is
# set, else from the time of the commit being packed, in UTC: the same commit gives the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    find_program(tolvane_git git)
    if(tolvane_git)
        execute_process(COMMAND ${tolvane_git} -C ${CPACK_TOLVANE_SOURCE_DIR} log -1 --format=%ct
            OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
        if(NOT failed AND epoch)
            set(ENV{SOURCE_DATE_EPOCH} ${epoch})
        endif()
    endif()
endif()
set(ENV{TZ} UTC)
