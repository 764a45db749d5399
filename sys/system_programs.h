// The programs of the running Windows and the words of a command line.
//
// Public functions: SystemProgram(), CommandArg(), ThroughCmd().
#pragma once

#include <string>
#include <string_view>

namespace sys {

// The full path of a program in the system folder, such as
// "C:\Windows\System32\cmd.exe", as the system gives that folder: a program of the same name in
// the program's own folder, the current folder or on the PATH is never the
// one that runs.
std::string SystemProgram(std::string_view file);

// One word of a command line: the text itself when it has no blank or tab,
// else in double quotes, with the backslashes before the closing quote
// doubled so that they stay backslashes ("C:\My Windows\Temp\" stays one
// word that ends in a backslash).
std::string CommandArg(std::string_view text);

// The command run by the system's command interpreter:
//   <cmd.exe> /c <command>
// and, when the command has quotes of its own, <cmd.exe> /s /c "<command>",
// where the interpreter takes away only the outer pair and the command keeps
// its own quotes.
std::string ThroughCmd(std::string_view command);

}  // namespace sys
