#include "ui/nc_metrics.h"

#include "os/fonts.h"

namespace ui {

bool cNCMetrics::GetMetrics() {
  auto face = os::CaptionFontFace();
  captionFace_ = face.value_or("");
  return face.has_value();
}

}  // namespace ui
