# Tests of app/ (see tests/CMakeLists.txt for the three lists).
