#include "os/sim/midi_length.h"

#include <algorithm>
#include <map>

namespace os::sim {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view bytes) : b_(bytes) {}
  bool Has(size_t n) const { return n <= b_.size() - at_; }
  size_t Left() const { return b_.size() - at_; }
  uint8_t Byte() { return Has(1) ? static_cast<uint8_t>(b_[at_++]) : (ok_ = false, 0); }
  uint32_t Big(int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | Byte();
    return v;
  }
  // A variable-length quantity: at most four bytes.
  uint32_t Vlq() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t c = Byte();
      v = (v << 7) | (c & 0x7F);
      if (!(c & 0x80)) return v;
    }
    ok_ = false;
    return 0;
  }
  bool Skip(uint64_t n) {
    if (n > Left()) return ok_ = false;
    at_ += static_cast<size_t>(n);
    return true;
  }
  std::string_view Take(uint64_t n) {
    if (n > Left()) {
      ok_ = false;
      return {};
    }
    std::string_view s = b_.substr(at_, static_cast<size_t>(n));
    at_ += static_cast<size_t>(n);
    return s;
  }
  bool ok() const { return ok_; }

 private:
  std::string_view b_;
  size_t at_ = 0;
  bool ok_ = true;
};

// Reads one track: its end in ticks; tempo changes go into `tempos`.
std::optional<uint64_t> ReadTrack(std::string_view data, std::map<uint64_t, uint32_t>& tempos) {
  Reader r(data);
  uint64_t tick = 0;
  uint8_t status = 0;
  while (r.Left() > 0) {
    tick += r.Vlq();
    uint8_t c = r.Byte();
    if (!r.ok()) return std::nullopt;
    if (c == 0xFF) {
      uint8_t type = r.Byte();
      uint32_t length = r.Vlq();
      std::string_view body = r.Take(length);
      if (!r.ok()) return std::nullopt;
      if (type == 0x51 && body.size() == 3) {
        uint32_t us = (static_cast<uint32_t>(static_cast<uint8_t>(body[0])) << 16) |
                      (static_cast<uint32_t>(static_cast<uint8_t>(body[1])) << 8) | static_cast<uint8_t>(body[2]);
        if (us > 0) tempos[tick] = us;
      }
      if (type == 0x2F) return tick;  // end of track
      status = 0;
    } else if (c == 0xF0 || c == 0xF7) {
      if (!r.Skip(r.Vlq())) return std::nullopt;
      status = 0;
    } else {
      uint8_t first;
      if (c & 0x80) {
        status = c;
        first = r.Byte();
      } else {
        if (!status) return std::nullopt;  // running status without a status
        first = c;
      }
      (void)first;
      uint8_t kind = status & 0xF0;
      if (kind != 0xC0 && kind != 0xD0) r.Byte();
      if (!r.ok()) return std::nullopt;
    }
  }
  return tick;  // a track without its end event ends at its last event
}

}  // namespace

std::optional<uint64_t> MidiLengthMs(std::string_view bytes) {
  Reader r(bytes);
  if (r.Take(4) != "MThd") return std::nullopt;
  uint32_t headerLength = r.Big(4);
  if (!r.ok() || headerLength < 6) return std::nullopt;
  uint32_t format = r.Big(2);
  uint32_t tracks = r.Big(2);
  uint32_t division = r.Big(2);
  if (!r.ok() || format > 2 || tracks == 0 || !r.Skip(headerLength - 6)) return std::nullopt;

  std::map<uint64_t, uint32_t> tempos;
  uint64_t endTick = 0;
  for (uint32_t t = 0; t < tracks; ++t) {
    std::string_view id = r.Take(4);
    uint32_t length = r.Big(4);
    if (!r.ok()) return std::nullopt;
    std::string_view data = r.Take(length);
    if (!r.ok()) return std::nullopt;
    if (id != "MTrk") {
      --t;  // an unknown chunk is skipped
      continue;
    }
    auto end = ReadTrack(data, tempos);
    if (!end) return std::nullopt;
    endTick = std::max(endTick, *end);
  }

  if (division & 0x8000) {
    // SMPTE: frames per second and ticks per frame.
    int fps = 256 - static_cast<int>((division >> 8) & 0xFF);
    int perFrame = static_cast<int>(division & 0xFF);
    if (fps <= 0 || perFrame == 0) return std::nullopt;
    return endTick * 1000 / static_cast<uint64_t>(fps * perFrame);
  }
  if (division == 0) return std::nullopt;
  // Ticks per quarter note, through the tempo map.
  double us = 0;
  uint64_t at = 0;
  uint32_t tempo = 500000;
  for (const auto& [tick, value] : tempos) {
    if (tick >= endTick) break;
    us += static_cast<double>(tick - at) * tempo / division;
    at = tick;
    tempo = value;
  }
  us += static_cast<double>(endTick - at) * tempo / division;
  return static_cast<uint64_t>(us / 1000.0 + 0.5);
}

}  // namespace os::sim
