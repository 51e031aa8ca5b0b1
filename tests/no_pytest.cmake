# Stands in for an end-to-end suite in a build tree configured where pytest was not found.
message(FATAL_ERROR "The end-to-end tests did not run: this build tree was configured without pytest. "
    "To run them, install pytest (Debian: apt-get install python3-pytest, or scripts/packages.sh "
    "linux-tests windows-tests for every test tool), then configure this build tree again "
    "(cmake --preset <name>, or cmake <build tree>).")
