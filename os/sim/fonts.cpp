#include "os/fonts.h"

#include "os/sim/sim.h"

namespace os {

std::optional<std::string> CaptionFontFace() {
  std::string face = sim::Current()->captionFont;
  if (face.empty()) return std::nullopt;  // the machine's metrics cannot be read
  return face;
}

}  // namespace os
