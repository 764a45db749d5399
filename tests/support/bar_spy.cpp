#include <cstdio>

#include "tests/support/bar_spy.h"

namespace test {

std::string BarMessageLine(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  char text[96];
  auto hex = [](uintptr_t v) { return static_cast<unsigned long long>(v & 0xFFFFFFFFu); };
  switch (message) {
    case os::kPbmSetPos:
      snprintf(text, sizeof text, "SETPOS %d %d", static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
      break;
    case os::kPbmSetRange32:
      snprintf(text, sizeof text, "SETRANGE32 %d %d", static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
      break;
    case os::kPbmSetMarquee:
      snprintf(text, sizeof text, "SETMARQUEE %d %d", static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
      break;
    case os::kPbmSetState:
      snprintf(text, sizeof text, "SETSTATE %d %d", static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
      break;
    case os::kPbmSetBarColor:
      snprintf(text, sizeof text, "SETBARCOLOR %llx %llx", hex(wParam), hex(static_cast<uintptr_t>(lParam)));
      break;
    default:
      return "";
  }
  return text;
}

std::string BarCreateLine(uint32_t style, int width, int height) {
  char text[64];
  snprintf(text, sizeof text, "create %08x %dx%d", style, width, height);
  return text;
}

}  // namespace test
