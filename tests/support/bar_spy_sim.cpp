#include "os/sim/progress_bar_window.h"
#include "tests/support/bar_spy.h"

namespace test {

struct BarSpy::Impl {
  const os::sim::SimProgressBarWindow* bar;
  size_t seen;
};

BarSpy::BarSpy(os::ProgressBarWindow& container) {
  auto& bar = static_cast<os::sim::SimProgressBarWindow&>(container);
  impl_ = new Impl{&bar, bar.Events().size()};
}

BarSpy::~BarSpy() { delete impl_; }

std::vector<std::string> BarSpy::Take() {
  std::vector<std::string> lines;
  const auto& events = impl_->bar->Events();
  for (; impl_->seen < events.size(); ++impl_->seen) {
    const os::sim::BarEvent& e = events[impl_->seen];
    switch (e.kind) {
      case os::sim::BarEvent::Kind::kCreate: lines.push_back(BarCreateLine(e.style, e.width, e.height)); break;
      case os::sim::BarEvent::Kind::kDestroy: lines.push_back("destroy"); break;
      case os::sim::BarEvent::Kind::kMove: break;
      case os::sim::BarEvent::Kind::kMessage: {
        std::string line = BarMessageLine(e.message, e.wParam, e.lParam);
        if (!line.empty()) lines.push_back(line);
        break;
      }
    }
  }
  return lines;
}

}  // namespace test
