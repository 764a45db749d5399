// The real PC emulator for the boot test in UEFI mode: qemu-system-x86_64
// with the OVMF firmware, headless, booting a raw disk image whose writes go
// to a throw-away snapshot, its serial console (where the firmware mirrors
// the screen's text) written to a log file.
//
// Where the emulator and the firmware are looked for, and the time limit,
// can be changed in the environment:
//   TARNVALE_QEMU          the emulator program (default qemu-system-x86_64);
//                          "none" records the boot without starting anything
//   TARNVALE_OVMF          the firmware file (default Debian's OVMF.fd)
//   TARNVALE_BOOT_SECONDS  the time limit of one boot (default 120, 5 to 3600)
//
// Public: struct Emulator, FindEmulator(), struct UefiBoot, enum class BootEnd,
//         RunUefiBoot(), BootEndText().
#pragma once

#include <cstdint>
#include <string>

namespace tvtool {

struct Emulator {
  std::string program, firmware;
  std::string missing;  // what is not there, for a message; empty when both are
  bool off = false;     // TARNVALE_QEMU=none: record only
};
Emulator FindEmulator();

struct UefiBoot {
  std::string image;      // raw disk image, the first hard disk
  uint32_t memoryMB = 800;
  bool localTime = false;  // the clock runs on local time
  std::string serialLog;  // replaced by this run's console output
  int seconds = 120;      // time limit
};

enum class BootEnd {
  kPoweredOff,     // the emulator ended by itself (the system switched it off)
  kNothingToBoot,  // the firmware found nothing it could start and gave up; stopped
  kTimeLimit,      // still running at the time limit; stopped
  kFailed,         // the emulator ended with an error of its own
  kNotStarted,     // the emulator could not be started
};

// Boots and waits until the emulator ends or is stopped.
BootEnd RunUefiBoot(const Emulator& emulator, const UefiBoot& boot);

// The time limit from TARNVALE_BOOT_SECONDS.
int BootSeconds();

std::string BootEndText(BootEnd end, int seconds);

}  // namespace tvtool
