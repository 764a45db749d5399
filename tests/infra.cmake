# Checks of the build itself, and the fuzz harnesses.

# The pictures in res/ are what res/art/make_icon.py draws (host build, when
# Python 3 is there).
if(NOT WIN32)
  find_package(Python3 COMPONENTS Interpreter)
  if(Python3_Interpreter_FOUND)
    add_test(NAME pictures_match_their_script
             COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/res/art/make_icon.py --check)
  endif()
endif()

# libFuzzer harnesses (a clang build with TV_FUZZ=ON; see tests/fuzz).
option(TV_FUZZ "Build the libFuzzer harnesses of tests/fuzz (needs clang)" OFF)
if(TV_FUZZ AND NOT WIN32)
  add_subdirectory(fuzz)
endif()
