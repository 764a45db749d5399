# Tests of app/, make/ and ui/: the main window, the language, the packages.
list(APPEND TV_SHARED_TESTS
  combo_sizing_test.cpp
)
list(APPEND TV_HOST_TESTS
  console_test.cpp
  form1_test.cpp
  language_files_test.cpp
  packages_test.cpp
)
list(APPEND TV_WIN32_TESTS
  main_window_win32_test.cpp
)
