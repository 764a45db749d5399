# Tests of tools/ and of the layout check (see tests/CMakeLists.txt for the
# three lists). They run the stand-ins on simulated machines, and the sample
# package's tests use the built sample: host build only.
if(NOT WIN32)
  list(APPEND TV_HOST_TESTS
    boot_uefi_test.cpp
    check_disk_layout_test.cpp
    main_job_test.cpp
    sample_package_test.cpp
    tools_boot_test.cpp
    tools_disk_programs_test.cpp
    tools_faults_test.cpp
    tools_partassist_test.cpp
    user_guide_test.cpp
    support/tool_machines.cpp
  )
  # The stand-ins' own parts that the tests call (tools/CMakeLists.txt).
  cmake_language(DEFER CALL target_link_libraries tv_tests PRIVATE tvtool_parts)
  cmake_language(DEFER CALL target_compile_definitions tv_tests PRIVATE
    TV_SAMPLE_DIR="${CMAKE_BINARY_DIR}/sample"
    TV_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TV_TOOLS_DIR="${CMAKE_BINARY_DIR}/bin"
    TV_EFI_PROGRAM="${CMAKE_BINARY_DIR}/efi/BOOTX64.EFI"
    TV_SAMPLE_LANG_DIR="${CMAKE_BINARY_DIR}/Data/Lang")
  cmake_language(DEFER CALL add_dependencies tv_tests sample_package tvscramble)
endif()
