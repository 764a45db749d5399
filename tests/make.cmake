# Tests of the make procedure (see tests/CMakeLists.txt for the three lists).
# They run the sample package's tools on simulated machines: host build only;
# the check's pieces that need no machine run in both builds.
list(APPEND TV_SHARED_TESTS
  boot_code_values_test.cpp
  made_disk_values_test.cpp
)
if(NOT WIN32)
  list(APPEND TV_HOST_TESTS
    boot_code_sim_test.cpp
    made_disk_check_test.cpp
    make_procedure_test.cpp
    make_steps_test.cpp
    system_programs_test.cpp
    support/make_machines.cpp
  )
  # The stand-ins' disk editing and disk description (tools/CMakeLists.txt).
  cmake_language(DEFER CALL target_link_libraries tv_tests PRIVATE tvtool_parts)
endif()
