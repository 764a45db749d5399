// The simulated machine's MCI devices, as the host console and the tests
// see them: a MIDI sequencer that plays a file on the simulated clock. Every
// command sent is one line of <machine>/mci.log:
//   <command> TAB <result> [TAB <reply>]
// The fault switch "fault mci <anything>" makes the machine one without a
// MIDI device: opening a sequencer fails.
//
// Public: struct MciDevice, FindMciDevice().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace os::sim {

struct MciDevice {
  std::string file;        // the Windows path it was opened from
  uint64_t lengthMs = 0;
  uint64_t positionMs = 0;
  bool playing = false;
};

// The open device of this alias (any case), as it is now.
std::optional<MciDevice> FindMciDevice(std::string_view alias);

}  // namespace os::sim
