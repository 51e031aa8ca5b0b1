# Finds freeglut and names it Tolvane::freeglut, or stops saying what to install. Included by the
# root CMakeLists.txt; TOLVANE_FREEGLUT_FROM_SOURCE and TOLVANE_FREEGLUT_SOURCE are set there.
# A freeglut this build tree made before is brought up to date (its source may have changed).
if(TOLVANE_FREEGLUT_SOURCE OR FreeGLUT_DIR STREQUAL "${CMAKE_BINARY_DIR}/_deps/freeglut/install/lib/cmake/FreeGLUT")
    include(${CMAKE_CURRENT_LIST_DIR}/FreeglutFromSource.cmake)
endif()
find_package(FreeGLUT CONFIG QUIET)
if(NOT FreeGLUT_FOUND)
    find_package(GLUT QUIET)
    if(NOT GLUT_FOUND AND TOLVANE_FREEGLUT_FROM_SOURCE)
        include(${CMAKE_CURRENT_LIST_DIR}/FreeglutFromSource.cmake)
        find_package(FreeGLUT CONFIG REQUIRED)
    endif()
endif()
if(TARGET FreeGLUT::freeglut)
    add_library(Tolvane::freeglut ALIAS FreeGLUT::freeglut)
elseif(TARGET FreeGLUT::freeglut_static)
    add_library(Tolvane::freeglut ALIAS FreeGLUT::freeglut_static)
elseif(TARGET GLUT::GLUT)
    include(CheckCXXSymbolExists)
    set(CMAKE_REQUIRED_LIBRARIES GLUT::GLUT)
    set(CMAKE_REQUIRED_QUIET ON)
    check_cxx_symbol_exists(glutLeaveMainLoop GL/freeglut.h TOLVANE_GLUT_IS_FREEGLUT)
    unset(CMAKE_REQUIRED_LIBRARIES)
    unset(CMAKE_REQUIRED_QUIET)
    if(TOLVANE_GLUT_IS_FREEGLUT)
        add_library(Tolvane::freeglut ALIAS GLUT::GLUT)
    else()
        unset(TOLVANE_GLUT_IS_FREEGLUT CACHE)  # look again once freeglut is installed
        set(tolvane_glut_seen "The GLUT that CMake found (${GLUT_glut_LIBRARY}) is not freeglut: it lacks glutLeaveMainLoop.")
    endif()
endif()
if(NOT TARGET Tolvane::freeglut)
    if(NOT tolvane_glut_seen)
        set(tolvane_glut_seen "CMake found neither freeglut's package (FreeGLUT) nor a GLUT library.")
    endif()
    message(FATAL_ERROR "Tolvane needs freeglut; classic GLUT will not do. ${tolvane_glut_seen}\n"
        "Install freeglut's development package:\n"
        "  Debian 12+, Ubuntu 24.04+:    apt-get install libglut-dev\n"
        "  Debian 11, Ubuntu 22.04:      apt-get install freeglut3-dev\n"
        "  Fedora:                       dnf install freeglut-devel\n"
        "  MSYS2 (UCRT64):               pacman -S mingw-w64-ucrt-x86_64-freeglut\n"
        "  vcpkg:                        vcpkg install freeglut\n"
        "If it is installed somewhere unusual, point CMake at it with -DFreeGLUT_DIR=<dir holding "
        "FreeGLUTConfig.cmake> or -DCMAKE_PREFIX_PATH=<its prefix>.")
endif()
