# Every Release build of the program for Linux, where dpkg-buildflags (dpkg-dev) is installed, is
# hardened as Debian builds its packages, not only the one that goes into the Debian package: a
# user who builds Tolvane there expects what Debian's own programs get. The flags are
# dpkg-buildflags' for the architecture the program is built for (stack protector, _FORTIFY_SOURCE,
# format checks, full RELRO and immediate binding; branch protection on arm64 from dpkg 1.22), which
# the environment can change as for any Debian build (DEB_BUILD_MAINT_OPTIONS, DEB_CXXFLAGS_APPEND...).
# TOLVANE_DPKG_BUILDFLAGS=OFF builds without them; cpack then warns that the Debian package's
# program is not hardened.
# AUTO decides at every configure, not once: a tree configured before dpkg-dev was installed must
# not go on making unhardened packages.
set(TOLVANE_DPKG_BUILDFLAGS AUTO CACHE STRING
    "Build the program with the flags that dpkg-buildflags gives: ON, OFF, or AUTO (a Release build where it is found)")
set_property(CACHE TOLVANE_DPKG_BUILDFLAGS PROPERTY STRINGS AUTO ON OFF)
find_program(TOLVANE_DPKG_BUILDFLAGS_PROGRAM dpkg-buildflags)
set(hardened ${TOLVANE_DPKG_BUILDFLAGS})
if(hardened STREQUAL "AUTO")
    if(TOLVANE_DPKG_BUILDFLAGS_PROGRAM AND CMAKE_BUILD_TYPE STREQUAL "Release")
        set(hardened ON)
    else()
        set(hardened OFF)
    endif()
endif()
set(CPACK_TOLVANE_HARDENED ${hardened})
if(hardened)
    if(NOT TOLVANE_DPKG_BUILDFLAGS_PROGRAM)
        message(FATAL_ERROR "TOLVANE_DPKG_BUILDFLAGS needs dpkg-buildflags (Debian: apt-get install dpkg-dev)")
    endif()
    set(options "$ENV{DEB_BUILD_MAINT_OPTIONS}")
    if(options STREQUAL "")
        set(options hardening=+all)
    endif()
    set(host_arch)
    if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE)  # a cross build's (DebianPackage.cmake)
        set(host_arch DEB_HOST_ARCH=${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
    endif()
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        # Run from the source tree: its path is the one that -ffile-prefix-map takes out.
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=${options} ${host_arch}
                ${TOLVANE_DPKG_BUILDFLAGS_PROGRAM} --get ${kind}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed: ${failed}")
        endif()
        separate_arguments(flags UNIX_COMMAND "${flags}")
        if(kind STREQUAL "LDFLAGS")
            target_link_options(tolvane PRIVATE ${flags})
        else()
            target_compile_options(tolvane PRIVATE ${flags})
        endif()
    endforeach()
    # The build tree's path, outside the source tree, must not reach the program either.
    target_compile_options(tolvane PRIVATE -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
endif()
