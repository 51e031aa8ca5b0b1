# Cross-compiles for 64-bit Arm Linux with Debian's cross toolchain (crossbuild-essential-arm64),
# against the arm64 libraries that multiarch installs beside the machine's own: CMake learns their
# folder, /usr/lib/aarch64-linux-gnu, from the compiler. The result runs here under qemu's
# user-mode emulation, which tests and CMake's try_run use to start it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# -L /: the Arm dynamic loader and libraries are the multiarch ones, under the machine's own root.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /)
