// Names of the storage bus types (STORAGE_BUS_TYPE) in machine descriptions.
//
// Public functions: BusName(), BusFromName().
#pragma once

#include <optional>
#include <string>

namespace os::sim {

// "usb" for 7, and so on; unknown numbers are written as their number.
std::string BusName(int bus);
// A name or a decimal number.
std::optional<int> BusFromName(const std::string& name);

}  // namespace os::sim
