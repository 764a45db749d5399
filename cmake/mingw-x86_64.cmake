# Cross-compiling the 64-bit variant of the Windows program with Debian's
# MinGW-w64 (package g++-mingw-w64-x86-64). The shipped program is the i686
# one (cmake/mingw-i686.cmake); this variant runs the Windows tests under
# wine64 on machines that cannot run 32-bit programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TV_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model: its C++ library has std::mutex (GoogleTest needs it).
set(CMAKE_C_COMPILER ${TV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TV_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static: no MinGW DLL has to sit beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Test programs of the Windows build run under Wine (see cmake/wine-run.sh,
# which picks wine64 for a 64-bit program).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
