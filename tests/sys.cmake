# Tests of sys/ (see tests/CMakeLists.txt for the three lists).
