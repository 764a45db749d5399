// libFuzzer harness: the simulated sequencer's reader of MIDI files, which
// reads whatever file the system asks it to open as a tune.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "os/sim/midi_length.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  os::sim::MidiLengthMs(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
