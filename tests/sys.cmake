# Tests of sys/ (see tests/CMakeLists.txt for the three lists).
list(APPEND TV_SHARED_TESTS
  file_io_test.cpp
  run_log_test.cpp
)
list(APPEND TV_HOST_TESTS
  file_io_sim_test.cpp
  plugin_archive_test.cpp
  shell_wait_test.cpp
  tool_commands_test.cpp
)
list(APPEND TV_WIN32_TESTS
  shell_wait_win32_test.cpp
  system_programs_win32_test.cpp
)

if(WIN32)
  # The child program that the Windows tests start and wait for.
  add_executable(tv_child support/child_win32.cpp)
  tv_target(tv_child)
  cmake_language(DEFER CALL add_dependencies tv_tests_win tv_child)
else()
  # The plug-in round trip runs the scrambler.
  cmake_language(DEFER CALL add_dependencies tv_tests tvscramble)
endif()
