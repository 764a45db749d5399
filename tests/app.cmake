# Tests of app/, make/ and ui/: the main window, the language, the packages.
list(APPEND TV_SHARED_TESTS
  combo_sizing_test.cpp
  progress_bar_test.cpp
)
list(APPEND TV_HOST_TESTS
  console_test.cpp
  form1_test.cpp
  language_files_test.cpp
  packages_test.cpp
  progress_console_test.cpp
  progress_timers_test.cpp
)
list(APPEND TV_WIN32_TESTS
  progress_win32_test.cpp
  taskbar_win32_test.cpp
)
# The system menu, the partition size dialog and the About window.
list(APPEND TV_HOST_TESTS
  console_dialogs_test.cpp
  form2_test.cpp
  frm_about_test.cpp
  sim_mci_test.cpp
  system_menu_test.cpp
  support/started_form.cpp
)
list(APPEND TV_WIN32_TESTS
  main_window_win32_test.cpp
)
