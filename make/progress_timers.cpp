#include "make/progress_timers.h"

#include <algorithm>

#include "app/form1.h"
#include "app/globals.h"
#include "disk/big_file_size.h"
#include "disk/disk_space.h"
#include "sys/text.h"

namespace make {
namespace {

// Sets a flag for as long as a tick runs.
class Running {
 public:
  explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
  ~Running() { flag_ = false; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

 private:
  bool& flag_;
};

constexpr uint32_t kPreparationInterval = 10;
constexpr uint32_t kCreepInterval = 3000;

}  // namespace

int32_t ProgressTimers::Estimate(int32_t value, int16_t ceiling) {
  // The PE image phase measures the EFI partition (the data partition when
  // it has no letter) while the staged files are written onto it; the data
  // package phase measures the data partition.
  const bool peImage = ceiling == 90;
  const std::string volume = peImage ? (app::sEfiLetter.size() == 2 ? app::sEfiLetter : app::sDataLetter)
                                     : app::sDataLetter;
  const double base = peImage ? 25 : 90;
  const double span = peImage ? 65 : 10;
  int32_t used = disk::GetDiskSpaceMB(volume, disk::kSpaceUsed);

  // The growth counts from the space the volume held when the phase began,
  // so that a volume that already held data does not make the bar jump. A
  // bar set back below the last tick's value means a new make.
  if (!phase_ || phase_->ceiling != ceiling || phase_->volume != volume || value < lastValue_)
    phase_ = Phase{ceiling, volume, used};
  // A volume emptied meanwhile (formatted) grows from its new low.
  phase_->usedMB = std::min(phase_->usedMB, used);
  int32_t grown = used - phase_->usedMB;

  int32_t size = disk::GetBigFileSizeMB(peImage ? app::sIsoFile : app::s7zFile);
  if (size == 0) size = 1;
  double e = base + span * grown / size;
  if (!(e > value)) return value;
  // Nothing written yet: one step, up to the phase's base.
  if (grown == 0) return value + 1;
  // Never beyond the phase's ceiling.
  return static_cast<int32_t>(std::min<int64_t>(sys::RoundHalfEven(e), ceiling));
}

void ProgressTimers::TimerProgTick() {
  if (inTimerProg_) return;
  Running running(inTimerProg_);
  os::MainWindow& window = form_.window();
  const int32_t value = window.ProgressValue();
  const int16_t ceiling = app::iProgCeiling;
  if (value >= ceiling) return;
  int32_t next;
  if (ceiling == 90 || ceiling == 100) {
    next = Estimate(value, ceiling);
  } else {
    phase_.reset();
    next = value + 1;
  }
  if (next != value) window.SetProgressValue(next);
  lastValue_ = next;
  form_.TaskbarValue();
}

void ProgressTimers::Timer1Tick() {
  if (inTimer1_) return;
  Running running(inTimer1_);
  os::MainWindow& window = form_.window();
  const uint32_t interval = window.TimerInterval(os::TimerId::kTimer1);
  if (interval == kPreparationInterval) {
    // Once, whether or not the plug-in can be prepared: the timer is
    // switched to the creep's interval and off before anything else.
    window.SetTimerEnabled(os::TimerId::kTimer1, false);
    window.SetTimerInterval(os::TimerId::kTimer1, kCreepInterval);
    if (!app::sTmpPath.empty()) form_.PreparePartitionTool();
  } else if (interval == kCreepInterval) {
    const int32_t value = window.ProgressValue();
    if (value > 98) {
      window.SetTimerEnabled(os::TimerId::kTimer1, false);
      return;
    }
    window.SetProgressValue(value + 1);
    form_.TaskbarValue();
  }
}

}  // namespace make
