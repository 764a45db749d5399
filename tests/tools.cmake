# Tests of tools/ (see tests/CMakeLists.txt for the three lists).
