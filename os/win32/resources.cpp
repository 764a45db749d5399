#include "os/resources.h"

#include <windows.h>

#include "os/win32/wide.h"

namespace os {

std::optional<std::string> LoadResourceData(int id, std::string_view type) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(id), win32::Wide(type).c_str());
  if (!found) return std::nullopt;
  HGLOBAL loaded = LoadResource(self, found);
  DWORD size = SizeofResource(self, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::string(static_cast<const char*>(data), size);
}

}  // namespace os
