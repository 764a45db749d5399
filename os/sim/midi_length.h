// How long a standard MIDI file plays, for the simulated sequencer: the
// file is read from outside (any file can be opened as a tune), so the
// reader trusts nothing in it.
//
// Public functions: MidiLengthMs().
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace os::sim {

// The playing time in milliseconds: from the start to the last event of the
// longest track, with the tempo changes of every track applied (120 beats
// per minute until the first). Nothing when the bytes are not a standard
// MIDI file (format 0, 1 or 2) or a track is cut short.
std::optional<uint64_t> MidiLengthMs(std::string_view bytes);

}  // namespace os::sim
