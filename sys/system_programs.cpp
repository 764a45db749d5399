#include "sys/system_programs.h"

#include "os/system.h"

namespace sys {

std::string SystemProgram(std::string_view file) { return os::SystemFolder() + "\\" + std::string(file); }

std::string CommandArg(std::string_view text) {
  if (!text.empty() && text.find_first_of(" \t") == std::string_view::npos) return std::string(text);
  size_t slashes = 0;
  while (slashes < text.size() && text[text.size() - 1 - slashes] == '\\') ++slashes;
  return "\"" + std::string(text) + std::string(slashes, '\\') + "\"";
}

std::string ThroughCmd(std::string_view command) {
  std::string cmd = CommandArg(SystemProgram("cmd.exe"));
  if (command.find('"') == std::string_view::npos) return cmd + " /c " + std::string(command);
  return cmd + " /s /c \"" + std::string(command) + "\"";
}

}  // namespace sys
