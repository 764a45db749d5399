// The program's own resources: data compiled into Tarnvale.exe.
//
// Public functions: LoadResourceData().
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace os {

// The bytes of the resource with a numeric id and a named type, such as
// 101 of type "CUSTOM" (FindResource, LoadResource, SizeofResource);
// nothing when the program has no such resource.
std::optional<std::string> LoadResourceData(int id, std::string_view type);

}  // namespace os
