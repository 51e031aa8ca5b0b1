# Tolvane as Linux users install programs: the program, a desktop entry, its icon in the hicolor
# theme, a manual page, and the licence and changelog where Debian keeps them, for `cmake --install`
# and for the Debian package that `cpack -G DEB` makes of them, the same bytes for the same commit
# (see CPackOptions.cmake). The program in it is hardened as Debian's are (Hardening.cmake).

# cpack runs this file again once it has made the package (CPACK_POST_BUILD_SCRIPTS): it writes
# the package's ar members with the modes the umask gives, where Debian's are 0644 whatever the
# umask. The mode is the eight characters at 40 in each member's 60-character header.
if(CPACK_PACKAGE_FILES)
    foreach(package IN LISTS CPACK_PACKAGE_FILES)
        file(SIZE "${package}" size)
        set(header 8)  # after "!<arch>\n"
        while(package MATCHES "\\.deb$" AND header LESS size)
            file(READ "${package}" member OFFSET ${header} LIMIT 60)
            string(SUBSTRING "${member}" 48 10 length)
            string(STRIP "${length}" length)
            math(EXPR mode "${header} + 40")
            execute_process(COMMAND sh -c "printf '100644  ' | dd of=\"$1\" bs=1 seek=${mode} conv=notrunc status=none"
                sh "${package}" COMMAND_ERROR_IS_FATAL ANY)
            math(EXPR header "${header} + 60 + ${length} + ${length} % 2")
        endwhile()
    endforeach()
    return()
endif()

set(TOLVANE_MAINTAINER "Tolvane developers <tolvane@example.org>" CACHE STRING
    "Who answers for the Debian package: its Maintainer field and changelog signature")

# The manual page and the changelog go in compressed, as Debian wants them; -n leaves out the name
# and time, which would differ from one build to the next.
find_program(TOLVANE_GZIP gzip REQUIRED)
set(linux_dir ${PROJECT_SOURCE_DIR}/src/linux)
configure_file(${linux_dir}/tolvane.1.in linux/tolvane.1 @ONLY)
configure_file(${linux_dir}/changelog.in linux/changelog @ONLY)
set(compressed)
foreach(document tolvane.1 changelog)
    set(output ${PROJECT_BINARY_DIR}/linux/${document}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${TOLVANE_GZIP} -9nkf ${document}
        DEPENDS ${PROJECT_BINARY_DIR}/linux/${document}
        WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/linux VERBATIM)
    list(APPEND compressed ${output})
endforeach()
add_custom_target(linux_documents ALL DEPENDS ${compressed})

install(TARGETS tolvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${linux_dir}/tolvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${linux_dir}/icons/${size}.png RENAME tolvane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/linux/tolvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md ${PROJECT_BINARY_DIR}/linux/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs DESTINATION ${CMAKE_INSTALL_DOCDIR})  # the README's links and picture
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

# The package. Its file name is Debian's, tolvane_<version>_<arch>.deb; dpkg-shlibdeps computes its
# dependencies from the system it is built on (libglut3.12 from Debian 12 on, freeglut3 before).
set(CPACK_GENERATOR TGZ)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_FILE})
set(CPACK_DEBIAN_PACKAGE_NAME tolvane)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TOLVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# cpack would name the machine it runs on (dpkg --print-architecture). A cross build's package is
# for the machine it is built for, which dpkg-architecture names from the compiler's GNU triplet.
if(CMAKE_CROSSCOMPILING)
    find_program(TOLVANE_DPKG_ARCHITECTURE dpkg-architecture REQUIRED)
    execute_process(COMMAND ${TOLVANE_DPKG_ARCHITECTURE} -t ${CMAKE_LIBRARY_ARCHITECTURE} -q DEB_HOST_ARCH
        OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "dpkg-architecture names no Debian architecture for the compiler's GNU "
            "triplet, '${CMAKE_LIBRARY_ARCHITECTURE}' (CMAKE_LIBRARY_ARCHITECTURE)")
    endif()
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis is the project's description; CPack puts it first.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tolvane opens one 1920 x 1080 OpenGL window titled Tolvane at screen
position (100, 100), RGBA, double-buffered, with a depth buffer. It clears
the window to white until freeglut first goes idle and to green from then on,
redrawing continuously, until Escape is pressed or the window is closed.
It draws nothing else and writes nothing to its terminal.")
