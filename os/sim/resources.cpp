// The host program's resources, looked up as FindResource does: by id and
// by type name without regard to case.
#include "os/resources.h"

#include "os/sim/embedded_resources.h"
#include "os/sim/paths.h"

namespace os {

std::optional<std::string> LoadResourceData(int id, std::string_view type) {
  for (size_t i = 0; i < sim::kEmbeddedResourceCount; ++i) {
    const sim::EmbeddedResource& r = sim::kEmbeddedResources[i];
    if (r.id == id && sim::EqualNoCase(r.type, type))
      return std::string(reinterpret_cast<const char*>(r.data), r.size);
  }
  return std::nullopt;
}

}  // namespace os
