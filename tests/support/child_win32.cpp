// tv_child.exe: a tiny program for the Windows build's tests of starting and
// waiting. `tv_child <exit code> [milliseconds]` sleeps that long, then exits
// with the code given (259, STILL_ACTIVE, included).
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc > 2) Sleep(static_cast<DWORD>(strtoul(argv[2], nullptr, 10)));
  ExitProcess(argc > 1 ? static_cast<UINT>(strtoul(argv[1], nullptr, 10)) : 0);
}
