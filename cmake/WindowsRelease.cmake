# Tolvane for Windows, all of it: what makes tolvane.exe a Windows program a user can trust (a
# manifest declaring per-monitor DPI awareness, else Windows enlarges the window by bitmap scaling
# on a scaled display; version information and an icon; the same bytes from the same source), and
# what users download: a ZIP holding the program, its README and the licence notices of what is
# linked into it, and a 64-bit installer of the same files (src/windows/NSIS.template.in).
set(TOLVANE_RESOURCE_DIR ${PROJECT_SOURCE_DIR}/src/windows)
configure_file(${TOLVANE_RESOURCE_DIR}/tolvane.rc.in tolvane.rc @ONLY)
set(tolvane_rc ${PROJECT_BINARY_DIR}/tolvane.rc)
target_sources(tolvane PRIVATE ${tolvane_rc})
set_source_files_properties(${tolvane_rc} PROPERTIES
    OBJECT_DEPENDS "${TOLVANE_RESOURCE_DIR}/tolvane.ico;${TOLVANE_RESOURCE_DIR}/tolvane.manifest")
if(MSVC)
    # The linker writes the manifest, merging this one in; ours already asks for asInvoker.
    target_sources(tolvane PRIVATE ${TOLVANE_RESOURCE_DIR}/tolvane.manifest)
    target_link_options(tolvane PRIVATE /MANIFESTUAC:NO /Brepro)
else()
    set_property(SOURCE ${tolvane_rc} APPEND PROPERTY COMPILE_DEFINITIONS TOLVANE_EMBED_MANIFEST)
endif()

if(MINGW)
    # One file to copy: MinGW's own runtime (libgcc, libstdc++, winpthread) goes into the exe.
    # No link time in the PE header, so that the same source gives the same exe.
    target_link_options(tolvane PRIVATE -static -Wl,--no-insert-timestamp)
endif()

install(TARGETS tolvane RUNTIME DESTINATION .)
install(FILES README.md DESTINATION .)
install(DIRECTORY docs DESTINATION .)  # the README's links and picture
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
set(CPACK_GENERATOR ZIP NSIS)

# The installer: CPack's NSIS generator with a template of our own, which CPack finds on its
# module path. makensis is looked for where it is, Debian's (nsis) among them.
find_program(TOLVANE_MAKENSIS makensis DOC "NSIS's compiler, for the Windows installer")
set(CPACK_NSIS_EXECUTABLE ${TOLVANE_MAKENSIS})
set(CPACK_MODULE_PATH ${TOLVANE_RESOURCE_DIR})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_TOLVANE_ICON ${TOLVANE_RESOURCE_DIR}/tolvane.ico)

# Licence notices that must travel with the exe, named for the ZIP. libgcc and libstdc++ need none
# (the GCC Runtime Library Exception); nor does MSVC's runtime.
find_file(TOLVANE_FREEGLUT_LICENSE NAMES COPYING copyright
    PATHS ${FreeGLUT_DIR}/../../../share/doc/freeglut ${FreeGLUT_DIR}/../../../share/licenses/freeglut
          ${FreeGLUT_DIR}  # vcpkg keeps its copyright beside the package
    DOC "freeglut's licence notice (COPYING), shipped in the ZIP" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
set(tolvane_notices TOLVANE_FREEGLUT_LICENSE freeglut)
if(MINGW)
    # The MinGW-w64 runtime and winpthreads, as Debian, Fedora and MSYS2 install their notices.
    find_file(TOLVANE_MINGW_LICENSE NAMES copyright COPYING COPYING.MinGW-w64-runtime.txt
        PATHS /usr/share/doc/mingw-w64-x86-64-dev /usr/share/licenses/mingw64-crt
              ${CMAKE_FIND_ROOT_PATH}/share/licenses/crt
        DOC "The MinGW-w64 runtime's licence notice, shipped in the ZIP" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    list(APPEND tolvane_notices TOLVANE_MINGW_LICENSE mingw-w64)
endif()
while(tolvane_notices)
    list(POP_FRONT tolvane_notices variable name)
    if(${variable})
        install(FILES ${${variable}} DESTINATION licenses RENAME ${name}.txt)
    else()
        message(WARNING "The release ZIP will lack ${name}'s licence notice, which its licence requires: "
            "set ${variable} to the file that holds it.")
    endif()
endwhile()
