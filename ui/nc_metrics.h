// cNCMetrics: the system's non-client metrics, of which the main window
// takes the window-caption font's face name for its own font.
//
// Public: class cNCMetrics — GetMetrics(), FontName().
#pragma once

#include <string>

namespace ui {

class cNCMetrics {
 public:
  // Reads the metrics (SystemParametersInfo SPI_GETNONCLIENTMETRICS); true
  // when they could be read.
  bool GetMetrics();
  // The face name of the window-caption font; empty before GetMetrics().
  const std::string& FontName() const { return captionFace_; }

 private:
  std::string captionFace_;
};

}  // namespace ui
