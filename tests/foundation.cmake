# The seam, the simulated machine, the configuration file and the services of the foundation.
list(APPEND TV_SHARED_TESTS
  code_pages_test.cpp
  command_line_test.cpp
  config_test.cpp
  folder_services_test.cpp
  profile_conformance_test.cpp
  text_test.cpp
)
list(APPEND TV_HOST_TESTS
  config_search_test.cpp
  processes_test.cpp
  sim_machine_test.cpp
  sim_paths_test.cpp
  sim_process_test.cpp
)
list(APPEND TV_WIN32_TESTS
  processes_win32_test.cpp
  program_file_win32_test.cpp
)
