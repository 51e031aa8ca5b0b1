# Stands in for an end-to-end suite in a build tree configured where pytest was not found.
find_program(pytest NAMES pytest-3 pytest)
if(pytest)
    set(now "pytest is installed now (${pytest}), but this build tree was configured before it was: configure it again (cmake --preset <name>, or cmake ${BUILD_TREE})")
else()
    set(now "install pytest (Debian: apt-get install python3-pytest, or scripts/packages.sh linux-tests windows-tests for every test tool), then configure this build tree again (cmake --preset <name>, or cmake ${BUILD_TREE})")
endif()
message(FATAL_ERROR "The end-to-end tests did not run: this build tree was configured without pytest. To run them, ${now}.")
