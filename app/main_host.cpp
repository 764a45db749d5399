// The host build's entry point: Tarnvale on a simulated Windows machine, its
// main window shown and driven through the console.
//
//   tarnvale --machine <folder> [--script <file>|-] [--quiet] [-- <arguments>]
//
// The arguments after "--" are the program's own Windows command-line
// arguments, such as /lng:2052 or /source:x. Without --script, input is read
// from the terminal; a script (or "-" for standard input that is not a
// terminal) is played as a person's input, and the window closes at its end.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>

#include "app/form1.h"
#include "app/main_operations.h"
#include "os/sim/console.h"
#include "os/sim/sim.h"
#include "ui/console/console_window.h"

namespace {

int Usage() {
  fprintf(stderr,
          "usage: tarnvale --machine <folder> [--script <file>|-] [--quiet] [-- <windows arguments>]\n"
          "Runs Tarnvale on the simulated Windows machine described in <folder>/machine.txt.\n");
  return 2;
}

// A Windows command line: the program's path in quotes, then the arguments
// (quoted when they hold blanks).
std::string WindowsCommandLine(const std::string& program, int argc, char** argv, int first) {
  std::string line = "\"" + program + "\"";
  for (int i = first; i < argc; ++i) {
    std::string a = argv[i];
    line += a.find_first_of(" \t") == std::string::npos ? " " + a : " \"" + a + "\"";
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  std::string machine, script;
  bool quiet = false;
  int windowsArgs = argc;
  for (int i = 1; i < argc; ++i) {
    if (!strcmp(argv[i], "--machine") && i + 1 < argc) machine = argv[++i];
    else if (!strcmp(argv[i], "--script") && i + 1 < argc) script = argv[++i];
    else if (!strcmp(argv[i], "--quiet")) quiet = true;
    else if (!strcmp(argv[i], "--")) {
      windowsArgs = i + 1;
      break;
    } else return Usage();
  }
  if (machine.empty()) return Usage();
  std::string error;
  if (!os::sim::LoadMachine(machine, &error)) {
    fprintf(stderr, "tarnvale: %s\n", error.c_str());
    return 2;
  }
  os::sim::UseMachine(machine);
  os::sim::SetCommandLineText(WindowsCommandLine(os::sim::Current()->program, argc, argv, windowsArgs));

  std::ifstream scriptFile;
  os::sim::ConsoleOptions options;
  options.output = &std::cout;
  options.quiet = quiet;
  if (script == "-" || (script.empty() && !isatty(0))) {
    options.input = &std::cin;
  } else if (!script.empty()) {
    scriptFile.open(script);
    if (!scriptFile) {
      fprintf(stderr, "tarnvale: cannot read the script %s\n", script.c_str());
      return 2;
    }
    options.input = &scriptFile;
  } else {
    options.input = &std::cin;
    options.inputFd = 0;  // a person at the terminal
  }

  app::Form1 form([&](os::MainWindowEvents& events) { return ui::console::CreateConsoleWindow(events, options); });
  app::MainOperations operations(form);
  form.SetOperations(&operations);
  if (!form.Load()) return 0;  // a second instance handed over to the first
  form.window().Show();
  int status = ui::console::RunConsoleWindow();
  form.OnUnload();
  return status;
}
