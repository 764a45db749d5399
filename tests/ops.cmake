# Tests of the restore, the local install and the boot test (see
# tests/CMakeLists.txt for the three lists). They run the operations end to
# end on simulated machines with the sample package: host build only.
if(NOT WIN32)
  list(APPEND TV_HOST_TESTS
    made_disk_boot_test.cpp
    ops_boot_test.cpp
    ops_console_test.cpp
    ops_install_test.cpp
    ops_progress_test.cpp
    ops_restore_test.cpp
    run_log_ops_test.cpp
    ops_disk_swap_test.cpp
    support/ops_machine.cpp
    support/real_boot.cpp
  )
endif()
