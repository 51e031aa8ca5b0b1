# Cross-compiles for Linux on another machine with Debian's cross toolchain
# (crossbuild-essential-<arch>), against that machine's libraries, which multiarch installs beside
# this one's: CMake learns their folder (/usr/lib/<triplet>) from the compiler. The machine is a
# parameter: TOLVANE_TARGET, its GNU triplet (aarch64-linux-gnu for arm64, arm-linux-gnueabihf for
# armhf). The result runs here under qemu's user-mode emulation, which tests and CMake's try_run
# use to start it; TOLVANE_TARGET_CPU, where set, is the CPU qemu stands in for (qemu-<arch> -cpu help).
if(NOT TOLVANE_TARGET MATCHES "^([a-z0-9_]+)-linux-gnu")
    message(FATAL_ERROR "TOLVANE_TARGET must be the GNU triplet of the Linux machine to build for, "
        "such as aarch64-linux-gnu or arm-linux-gnueabihf; it is '${TOLVANE_TARGET}'")
endif()
# CMake's test projects read this file too, and see only the variables named here.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TOLVANE_TARGET TOLVANE_TARGET_CPU)
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${CMAKE_MATCH_1})

set(CMAKE_C_COMPILER ${TOLVANE_TARGET}-gcc)
set(CMAKE_CXX_COMPILER ${TOLVANE_TARGET}-g++)
# -L /: the dynamic loader and libraries are the multiarch ones, under the machine's own root.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${CMAKE_SYSTEM_PROCESSOR} -L /)
if(TOLVANE_TARGET_CPU)
    list(APPEND CMAKE_CROSSCOMPILING_EMULATOR -cpu ${TOLVANE_TARGET_CPU})
endif()
