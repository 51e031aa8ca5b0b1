# Run by cpack before it packs, once for each kind of package. The packages' file times come from
# SOURCE_DATE_EPOCH where it is set, else from the time of the commit being packed, else (no git)
# from a fixed 2026-01-01; in UTC. Whichever it is, the same source gives the same bytes. A Debian
# package whose program was built without dpkg-buildflags' hardening is made, but not silently.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    find_program(tolvane_git git)
    if(tolvane_git)
        execute_process(COMMAND ${tolvane_git} -C ${CPACK_TOLVANE_SOURCE_DIR} log -1 --format=%ct
            OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
    endif()
    if(failed OR NOT epoch)
        set(epoch 1767225600)
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
set(ENV{TZ} UTC)
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_TOLVANE_HARDENED)
    message(WARNING "This package's program was built without the hardening flags that dpkg-buildflags "
        "gives: TOLVANE_DPKG_BUILDFLAGS is OFF, the build is not Release, or dpkg-buildflags (dpkg-dev) "
        "was not found when the build tree was configured. Configure it again to build it hardened.")
endif()
# The installer sits beside the ZIP, both named for the version; its name says which is which.
if(CPACK_GENERATOR STREQUAL "NSIS")
    string(APPEND CPACK_PACKAGE_FILE_NAME "-setup")
endif()
