// bench_disk: what one rebuild of the target list costs on a simulated
// machine whose drive letters C: to Z: are all in use (USB sticks with
// several volumes, a USB hard disk, an SD card, an empty card reader, CD and
// DVD drives, network drives, two-digit disk numbers).
//
// Side by side in the same run, the yardstick is one bare pass over the 24
// letters asking each only what the rebuild cannot do without: its drive
// type, its bus and its disk number. Target: a rebuild costs at most 3 times
// that pass (it also reads geometry and identity for each disk, and must not
// repeat work beyond that).
//
// usage: bench_disk [--runs N]
// Runs on a simulated machine of its own in the temporary folder. Exits 1
// when the target is missed.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "disk/bus_type.h"
#include "disk/device_number.h"
#include "disk/target_list.h"
#include "os/drives.h"
#include "os/sim/machine_setup.h"
#include "os/sim/sim.h"
#include "tests/support/disk_machines.h"
#include "ui/window_model.h"

namespace {

using Clock = std::chrono::steady_clock;

os::sim::Machine TwentyFourLetters() {
  os::sim::Machine m = os::sim::BasicMachine();  // C:
  test::AddInternalDisk(m, 0, "D");
  test::AddUsbStick(m, 1, "EF");
  test::AddUsbStick(m, 2, "GHI");
  test::AddUsbHardDisk(m, 3, "JK");
  test::AddSdCard(m, 4, "L");
  test::AddEmptyCardReader(m, 5, 'M');
  test::AddCdDrive(m, 'N', false, 0, true);
  test::AddCdDrive(m, 'O', true, 1, false);
  test::AddNetworkDrive(m, 'P');
  test::AddUsbStick(m, 6, "QRST");
  test::AddUsbStick(m, 10, "UV");
  test::AddUsbHardDisk(m, 11, "WX");
  test::AddUsbStick(m, 12, "Y");
  test::AddNetworkDrive(m, 'Z');
  return m;
}

// Best time of one call, in microseconds, over `runs` calls.
template <typename F>
double BestMicros(int runs, F&& work) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 200;
  for (int i = 1; i + 1 < argc; ++i)
    if (strcmp(argv[i], "--runs") == 0) runs = std::max(1, atoi(argv[++i]));

  std::string base = std::filesystem::temp_directory_path().string() + "/tv-bench-disk-XXXXXX";
  std::vector<char> name(base.begin(), base.end());
  name.push_back('\0');
  std::string folder = mkdtemp(name.data());
  std::string error;
  if (!os::sim::CreateMachine(folder, TwentyFourLetters(), &error)) {
    fprintf(stderr, "bench_disk: %s\n", error.c_str());
    return 1;
  }
  os::sim::UseMachine(folder);

  ui::WindowModel window;
  disk::RefreshTargetList(window, false);
  int removableEntries = window.ListCount(os::Control::kRDriver);
  disk::RefreshTargetList(window, true);
  int usbEntries = window.ListCount(os::Control::kRDriver);

  size_t sink = 0;
  double pass = BestMicros(runs, [&] {
    for (char c = 'C'; c <= 'Z'; ++c) {
      std::string volume{c, ':'};
      sink += os::DriveType(volume) + disk::GetBusType(volume).size() + disk::GetDiskNumOfLetter(volume, false).size();
    }
  });
  double removable = BestMicros(runs, [&] { disk::RefreshTargetList(window, false); });
  double usb = BestMicros(runs, [&] { disk::RefreshTargetList(window, true); });

  printf("Target list rebuild, 24 letters in use, best of %d runs (checksum %zu)\n", runs, sink % 10);
  printf("  bare pass (drive type, bus, disk number per letter) %9.1f us\n", pass);
  printf("  RefreshTargetList, removable mode (%d entries)      %9.1f us  = %.2f x the pass\n", removableEntries,
         removable, removable / pass);
  printf("  RefreshTargetList, USB hard disk mode (%d entries)  %9.1f us  = %.2f x the pass\n", usbEntries, usb,
         usb / pass);
  bool met = removable <= 3 * pass && usb <= 3 * pass;
  printf("  target at most 3 x the pass: %s\n", met ? "met" : "MISSED");

  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return met ? 0 : 1;
}
