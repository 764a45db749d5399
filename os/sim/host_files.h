// Small host-side file helpers for the simulated machine's calls.
//
// Public functions: ReadHostFile(), WriteHostFileAtomically(), HostIsFolder(), HostIsFile().
#pragma once

#include <cstdint>
#include <string>

namespace os::sim {

bool ReadHostFile(const std::string& path, std::string& content);
// Writes a new file beside the target and renames it over the target.
bool WriteHostFileAtomically(const std::string& path, const std::string& content);
bool HostIsFolder(const std::string& path);
bool HostIsFile(const std::string& path);

}  // namespace os::sim

namespace os::sim {

// Windows attributes that a host file cannot carry (hidden, system,
// read-only) are kept in a side file ".tvattr" in the file's folder.
constexpr const char* kAttributeFile = ".tvattr";
uint32_t HostAttributes(const std::string& hostPath);
bool SetHostAttributes(const std::string& hostPath, uint32_t attributes);

}  // namespace os::sim
