# Tests of disk/ (see tests/CMakeLists.txt for the three lists).
list(APPEND TV_SHARED_TESTS
  disk_values_test.cpp
)
list(APPEND TV_HOST_TESTS
  disk_letters_test.cpp
  disk_queries_test.cpp
  disk_target_check_test.cpp
  disk_target_list_test.cpp
  disk_guard_test.cpp
  support/disk_machines.cpp
)
list(APPEND TV_WIN32_TESTS
  disk_wine_test.cpp
)
