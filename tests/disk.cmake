# Tests of disk/ (see tests/CMakeLists.txt for the three lists).
