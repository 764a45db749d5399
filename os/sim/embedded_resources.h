// The host program's resources: the files that the Windows build compiles
// into Tarnvale.exe (res/tarnvale.rc), compiled into the host program by
// cmake/embed-resources.cmake.
//
// Public: struct EmbeddedResource, kEmbeddedResources, kEmbeddedResourceCount.
#pragma once

#include <cstddef>

namespace os::sim {

struct EmbeddedResource {
  int id;
  const char* type;
  const unsigned char* data;
  size_t size;
};

extern const EmbeddedResource kEmbeddedResources[];
extern const size_t kEmbeddedResourceCount;

}  // namespace os::sim
