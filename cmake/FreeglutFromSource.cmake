# Builds freeglut from source as a static library, with this build's own toolchain, and points
# find_package(FreeGLUT) at the result. This is how the MinGW-w64 build gets a freeglut where the
# machine has none for it (Debian ships none). The source is TOLVANE_FREEGLUT_SOURCE, a freeglut
# source tree or release tarball, or else freeglut's release tarball from Debian's source package
# ('apt-get source --tar-only', checked by apt against the archive's checksums). It runs while
# configuring, once per build tree and source: later configures find the installed package.

set(tolvane_freeglut_root "${CMAKE_BINARY_DIR}/_deps/freeglut")
set(tolvane_freeglut_prefix "${tolvane_freeglut_root}/install")
set(tolvane_freeglut_config "${tolvane_freeglut_prefix}/lib/cmake/FreeGLUT")
set(tolvane_freeglut_origin "${TOLVANE_FREEGLUT_SOURCE}")
if(NOT tolvane_freeglut_origin)
    set(tolvane_freeglut_origin "Debian's source package")
endif()

function(tolvane_freeglut_step what log)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${tolvane_freeglut_root}"
        RESULT_VARIABLE status OUTPUT_FILE "${tolvane_freeglut_root}/${log}" ERROR_FILE "${tolvane_freeglut_root}/${log}")
    if(NOT status EQUAL 0)
        file(READ "${tolvane_freeglut_root}/${log}" output)
        string(LENGTH "${output}" length)
        if(length GREATER 3000)
            math(EXPR start "${length} - 3000")
            string(SUBSTRING "${output}" ${start} -1 output)
        endif()
        message(FATAL_ERROR "Could not ${what} (status ${status}); the end of ${tolvane_freeglut_root}/${log}:\n${output}")
    endif()
endfunction()

# Unpacks a tarball into a fresh folder and sets `out` to the freeglut tree inside it.
function(tolvane_freeglut_unpack tarball out)
    set(unpacked "${tolvane_freeglut_root}/source")
    file(REMOVE_RECURSE "${unpacked}")
    file(MAKE_DIRECTORY "${unpacked}")
    tolvane_freeglut_step("unpack ${tarball}" unpack.log "${CMAKE_COMMAND}" -E chdir "${unpacked}"
        "${CMAKE_COMMAND}" -E tar xf "${tarball}")
    file(GLOB tree LIST_DIRECTORIES true "${unpacked}/*")
    if(NOT tree MATCHES ";" AND EXISTS "${tree}/CMakeLists.txt")
        set(${out} "${tree}" PARENT_SCOPE)
    else()
        message(FATAL_ERROR "${tarball} does not hold one freeglut source tree with a CMakeLists.txt")
    endif()
endfunction()

set(tolvane_freeglut_built "")
if(EXISTS "${tolvane_freeglut_prefix}/origin.txt")
    file(READ "${tolvane_freeglut_prefix}/origin.txt" tolvane_freeglut_built)
endif()
if(NOT EXISTS "${tolvane_freeglut_config}/FreeGLUTConfig.cmake" OR
   NOT EXISTS "${tolvane_freeglut_prefix}/share/doc/freeglut/COPYING" OR
   NOT tolvane_freeglut_built STREQUAL tolvane_freeglut_origin)
    file(REMOVE_RECURSE "${tolvane_freeglut_prefix}" "${tolvane_freeglut_root}/build")
    file(MAKE_DIRECTORY "${tolvane_freeglut_root}")
    if(IS_DIRECTORY "${TOLVANE_FREEGLUT_SOURCE}")
        set(source "${TOLVANE_FREEGLUT_SOURCE}")
        if(NOT EXISTS "${source}/CMakeLists.txt")
            message(FATAL_ERROR "TOLVANE_FREEGLUT_SOURCE names ${source}, which is not a freeglut source tree (no CMakeLists.txt)")
        endif()
    elseif(TOLVANE_FREEGLUT_SOURCE)
        if(NOT EXISTS "${TOLVANE_FREEGLUT_SOURCE}")
            message(FATAL_ERROR "TOLVANE_FREEGLUT_SOURCE names ${TOLVANE_FREEGLUT_SOURCE}, which does not exist")
        endif()
        tolvane_freeglut_unpack("${TOLVANE_FREEGLUT_SOURCE}" source)
    else()
        message(STATUS "Fetching freeglut's release tarball from Debian's source packages")
        file(GLOB old "${tolvane_freeglut_root}/freeglut_*.orig.tar.*")
        if(old)
            file(REMOVE ${old})
        endif()
        execute_process(COMMAND apt-get source --tar-only --only-source freeglut
            WORKING_DIRECTORY "${tolvane_freeglut_root}" RESULT_VARIABLE status
            OUTPUT_FILE "${tolvane_freeglut_root}/source.log" ERROR_FILE "${tolvane_freeglut_root}/source.log")
        file(GLOB tarball "${tolvane_freeglut_root}/freeglut_*.orig.tar.*")
        if(NOT status EQUAL 0 OR NOT tarball OR tarball MATCHES ";")
            file(READ "${tolvane_freeglut_root}/source.log" output)
            message(FATAL_ERROR
                "Could not get freeglut's source with 'apt-get source --tar-only freeglut':\n${output}\n"
                "It needs Debian's source package lists, which 'scripts/packages.sh windows' enables. "
                "Or point the build at a freeglut source tree or release tarball of your own: "
                "-DTOLVANE_FREEGLUT_SOURCE=<path>.")
        endif()
        tolvane_freeglut_unpack("${tarball}" source)
    endif()

    message(STATUS "Building freeglut from ${source} as a static library (logs in ${tolvane_freeglut_root})")
    set(toolchain)
    if(CMAKE_TOOLCHAIN_FILE)
        set(toolchain "-DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}")
    endif()
    tolvane_freeglut_step("configure freeglut" configure.log
        "${CMAKE_COMMAND}" -S "${source}" -B "${tolvane_freeglut_root}/build" -G "${CMAKE_GENERATOR}"
        ${toolchain} -DCMAKE_BUILD_TYPE=Release "-DCMAKE_INSTALL_PREFIX=${tolvane_freeglut_prefix}"
        -DCMAKE_INSTALL_LIBDIR=lib -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON
        -DFREEGLUT_BUILD_DEMOS=OFF)
    tolvane_freeglut_step("build freeglut" build.log
        "${CMAKE_COMMAND}" --build "${tolvane_freeglut_root}/build" --parallel)
    tolvane_freeglut_step("install freeglut" install.log
        "${CMAKE_COMMAND}" --install "${tolvane_freeglut_root}/build")
    # Its licence goes where an installed freeglut keeps it, for the release to ship.
    file(COPY "${source}/COPYING" DESTINATION "${tolvane_freeglut_prefix}/share/doc/freeglut")
    file(WRITE "${tolvane_freeglut_prefix}/origin.txt" "${tolvane_freeglut_origin}")
    set(TOLVANE_FREEGLUT_BUILT_FROM "${source}" CACHE INTERNAL "The freeglut source tree this build tree's freeglut came from")
endif()

# A cross toolchain confines find_package() to its sysroot; a package's _DIR is taken as given.
set(FreeGLUT_DIR "${tolvane_freeglut_config}" CACHE PATH "freeglut built from source" FORCE)
