#include "os/sim/disk_swap.h"

#include <algorithm>
#include <vector>

#include "os/sim/paths.h"
#include "os/sim/sim.h"

namespace os::sim {
namespace {

// Partition indexes in the order they lie on the disk.
std::vector<size_t> ByStart(const Disk& d) {
  std::vector<size_t> order(d.partitions.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return d.partitions[a].start < d.partitions[b].start; });
  return order;
}

// "partassist" waits for every command of the program, "partassist@init"
// for that one.
bool Waits(const DiskSwap& swap, std::string_view program, std::string_view command) {
  std::string_view after = swap.after;
  size_t at = after.find('@');
  if (!EqualNoCase(after.substr(0, at), program)) return false;
  return at == std::string_view::npos || EqualNoCase(after.substr(at + 1), command);
}

}  // namespace

bool SwapDisks(Machine& m, int disk, int spare, std::string* why) {
  auto pulled = std::find_if(m.disks.begin(), m.disks.end(), [&](const Disk& d) { return d.number == disk; });
  auto arriving = std::find_if(m.disks.begin(), m.disks.end(), [&](const Disk& d) { return d.number == spare; });
  if (pulled == m.disks.end() || arriving == m.disks.end()) {
    if (why) *why = "swap: disks " + std::to_string(disk) + " and " + std::to_string(spare) + " must both be described";
    return false;
  }
  std::vector<char> letters;
  for (size_t i : ByStart(*pulled))
    if (char l = pulled->partitions[i].letter) letters.push_back(l);
  char slot = pulled->emptyLetter;
  Disk arrived = *arriving;
  arrived.number = disk;
  size_t next = 0;
  for (size_t i : ByStart(arrived)) {
    Partition& p = arrived.partitions[i];
    if (p.hidden) continue;
    p.letter = next < letters.size() ? letters[next++] : 0;
  }
  if (!arrived.media) arrived.emptyLetter = slot;
  *pulled = arrived;
  m.disks.erase(std::find_if(m.disks.begin(), m.disks.end(), [&](const Disk& d) { return d.number == spare; }));
  return true;
}

bool SwapDisksNow(int disk, int spare, std::string* why) {
  bool done = false;
  std::string reason;
  Store().Update([&](Machine& m) { done = SwapDisks(m, disk, spare, &reason); });
  if (!done && why) *why = reason;
  return done;
}

void PlaySwapsAfter(std::string_view program, std::string_view command) {
  const auto& planned = Current()->swaps;
  if (std::none_of(planned.begin(), planned.end(), [&](const DiskSwap& s) { return Waits(s, program, command); }))
    return;
  Store().Update([&](Machine& m) {
    std::vector<DiskSwap> kept;
    for (const DiskSwap& s : m.swaps) {
      if (Waits(s, program, command)) SwapDisks(m, s.disk, s.spare, nullptr);
      else kept.push_back(s);
    }
    m.swaps = kept;
  });
}

}  // namespace os::sim
