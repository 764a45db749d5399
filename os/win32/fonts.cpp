#include "os/fonts.h"

#include <windows.h>

#include "os/ansi.h"

namespace os {

std::optional<std::string> CaptionFontFace() {
  NONCLIENTMETRICSA metrics{};
  // The record without its last field (iPaddedBorderWidth), as every Windows
  // version from 2000 on accepts it.
  metrics.cbSize = 340;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return std::nullopt;
  std::string face = FromAnsi(metrics.lfCaptionFont.lfFaceName);
  if (face.empty()) return std::nullopt;
  return face;
}

}  // namespace os
