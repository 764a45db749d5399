# Tests of the make procedure (see tests/CMakeLists.txt for the three lists).
# They run the sample package's tools on simulated machines: host build only.
if(NOT WIN32)
  list(APPEND TV_HOST_TESTS
    make_procedure_test.cpp
    make_steps_test.cpp
    support/make_machines.cpp
    ${PROJECT_SOURCE_DIR}/tools/tvtool/disk_edit.cpp
    ${PROJECT_SOURCE_DIR}/tools/tvtool/show_disk.cpp
  )
endif()
