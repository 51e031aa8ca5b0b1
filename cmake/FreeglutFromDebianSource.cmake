# Builds freeglut from Debian's source package as a static library, with this build's own
# toolchain, and points find_package(FreeGLUT) at the result. Debian ships no MinGW build of
# freeglut, so this is how the Windows build gets one. It runs while configuring, once per build
# tree: later configures find the installed package and skip it.

set(tolvane_freeglut_version 3.4.0)
set(tolvane_freeglut_root "${CMAKE_BINARY_DIR}/_deps/freeglut")
set(tolvane_freeglut_prefix "${tolvane_freeglut_root}/install")
set(tolvane_freeglut_config "${tolvane_freeglut_prefix}/lib/cmake/FreeGLUT")

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

if(NOT EXISTS "${tolvane_freeglut_config}/FreeGLUTConfig.cmake")
    set(source "${tolvane_freeglut_root}/freeglut-${tolvane_freeglut_version}")
    file(MAKE_DIRECTORY "${tolvane_freeglut_root}")
    if(NOT EXISTS "${source}/CMakeLists.txt")
        message(STATUS "Fetching freeglut ${tolvane_freeglut_version} from Debian's source packages")
        execute_process(COMMAND apt-get source --only-source freeglut
            WORKING_DIRECTORY "${tolvane_freeglut_root}" RESULT_VARIABLE status
            OUTPUT_FILE "${tolvane_freeglut_root}/source.log" ERROR_FILE "${tolvane_freeglut_root}/source.log")
        if(NOT status EQUAL 0 OR NOT EXISTS "${source}/CMakeLists.txt")
            file(READ "${tolvane_freeglut_root}/source.log" output)
            message(FATAL_ERROR
                "Could not get freeglut ${tolvane_freeglut_version} with 'apt-get source freeglut':\n${output}\n"
                "It needs Debian's source package lists and dpkg-dev; 'scripts/packages.sh windows' sets up both.")
        endif()
    endif()

    message(STATUS "Building freeglut ${tolvane_freeglut_version} as a static library (log in ${tolvane_freeglut_root})")
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
endif()

# A cross toolchain confines find_package() to its sysroot; a package's _DIR is taken as given.
set(FreeGLUT_DIR "${tolvane_freeglut_config}" CACHE PATH "freeglut built from Debian's source package" FORCE)
