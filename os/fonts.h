// The system's fonts.
//
// Public function: CaptionFontFace().
#pragma once

#include <optional>
#include <string>

namespace os {

// The face name of the window-caption font of the system's non-client
// metrics (SystemParametersInfo SPI_GETNONCLIENTMETRICS); nothing when the
// metrics cannot be read.
std::optional<std::string> CaptionFontFace();

}  // namespace os
