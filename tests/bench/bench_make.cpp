// bench_make: one whole make of the sample package with a large data package
// on the simulated machine, side by side in each run with its yardsticks.
//
//  1. The program's own CPU time during the make against its children's
//     (getrusage RUSAGE_SELF and RUSAGE_CHILDREN): the program only starts
//     and waits. Target: own CPU at most 2% of the children's.
//  2. The make's wall time against 7-Zip unpacking the same PE image and
//     data package directly on the host. Target: at most 1.3 times the
//     direct unpacking plus the fixed settle wait of the partition pass
//     (5,000 ms on the simulated clock).
//  3. The check of the made disk (the archiver's listings of the packages
//     and the check after the population, both part of the make) against
//     the make's wall time. Target: at most 5%.
//
// The make is the main job's (UD+DATA+UEFI, new-make mode, NTFS) on a 16 GB
// stick that holds two volumes, so that the partition pass runs too.
//
// usage: bench_make [--mb N] [--runs N] [--timescale N] [--dir D] [--keep]
//   --mb         size of the data package in MB (default 1024; incompressible
//                and stored, so that 7-Zip's own work is the least possible)
//   --runs       runs; the best of each measurement counts (default 3)
//   --timescale  simulated ms per real ms (default 10: the settle wait is 0.5 s)
//   --dir        where the machines and the direct unpack go (default:
//                /dev/shm when it is there, else the temporary folder; a
//                memory file system keeps the disk's write-back, which falls
//                on whichever process writes next, out of the comparison)
// Runs on simulated machines of its own. Exits 1 when a target is missed, 2
// when a make does not succeed.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/form1.h"
#include "app/globals.h"
#include "app/language.h"
#include "app/main_operations.h"
#include "make/verify_disk.h"
#include "os/sim/sim.h"
#include "sys/command_record.h"
#include "tools/tvtool/sample_machine.h"
#include "ui/window_model.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kSettleMs = 5000;  // the partition pass's pause, simulated

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

struct Cpu {
  double self = 0, children = 0;
};

Cpu CpuNow() {
  rusage self{}, children{};
  getrusage(RUSAGE_SELF, &self);
  getrusage(RUSAGE_CHILDREN, &children);
  return {Seconds(self.ru_utime) + Seconds(self.ru_stime), Seconds(children.ru_utime) + Seconds(children.ru_stime)};
}

int Shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Incompressible files of `mb` MB in all, packed without compression.
bool MakeDataPackage(const std::string& work, int mb, const std::string& package) {
  std::string data = work + "/data";
  fs::create_directories(data + "/Tools");
  std::mt19937_64 random(20200101);
  std::vector<uint64_t> block(1 << 17);  // 1 MB
  const int files = 8;
  for (int f = 0; f < files; ++f) {
    std::ofstream out(data + (f % 2 ? "/Tools/" : "/") + "part" + std::to_string(f) + ".bin", std::ios::binary);
    for (int i = f; i < mb; i += files) {
      for (auto& v : block) v = random();
      out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 8));
    }
  }
  fs::remove(package);
  bool ok = Shell("cd " + Quote(data) + " && 7zz a -t7z -mx=0 -bd -bso0 " + Quote(package) + " . >/dev/null") == 0;
  fs::remove_all(data);
  return ok;
}

struct Run {
  double makeWall = 0, directWall = 0, checkWall = 0;
  Cpu makeCpu;
  bool made = false;
};

// 7-Zip unpacking the image and the package directly, with the switches the
// make gives it and its output going to a file, as on the machine.
double DirectUnpack(const std::string& work, const std::string& iso, const std::string& package) {
  std::string out = work + "/direct";
  std::string log = " >>" + Quote(work + "/direct.log") + " 2>&1";
  fs::remove_all(out);
  auto start = Clock::now();
  Shell("7zz x " + Quote(iso) + " -y -aos -o" + Quote(out + "/EFI") + log);
  Shell("7zz x " + Quote(package) + " -y -o" + Quote(out + "/data") + log);
  double wall = std::chrono::duration<double>(Clock::now() - start).count();
  fs::remove_all(out);
  return wall;
}

// One make on a new machine; the machine's start-up (the window, the
// plug-in's unpack) is not measured.
Run MakeOnce(const std::string& work, int n, const std::string& package, double timescale, bool keep) {
  Run run;
  std::string folder = work + "/machine" + std::to_string(n);
  std::string error;
  if (!tvtool::MakeSampleMachine(folder, tvtool::DefaultSampleFolder(), &error)) {
    fprintf(stderr, "bench_make: %s\n", error.c_str());
    return run;
  }
  std::string target = folder + "/drives/C/Tarnvale/PE/TarnvalePE.7z";
  fs::remove(target);
  fs::create_hard_link(package, target);
  os::sim::UseMachine(folder);
  os::sim::Store().Update([&](os::sim::Machine& m) {
    m.timeScale = timescale;
    // The stick holds two volumes: the make repartitions it.
    os::sim::Disk& d = m.disks.at(0);
    os::sim::Partition second = d.partitions.at(0);
    d.partitions[0].sectors = 8192ull * 2048;
    second.start = d.partitions[0].start + d.partitions[0].sectors;
    second.sectors = d.Sectors() - second.start;
    second.letter = 'F';
    second.folder = "disks/1/part2";
    d.partitions.push_back(second);
  });
  os::sim::SetCommandLineText("\"C:\\Tarnvale\\Tarnvale.exe\"");
  app::sCfgPath.clear();
  app::sTmpPath.clear();
  ui::WindowModel* window = nullptr;
  app::Form1 form([&](os::MainWindowEvents&) {
    auto w = std::make_unique<ui::WindowModel>();
    window = w.get();
    return w;
  });
  app::MainOperations operations(form);
  form.SetOperations(&operations);
  if (form.Load()) {
    form.OnTimer(os::TimerId::kTimer1);
    form.WaitForPartitionTool();
    window->SetListIndex(os::Control::kFsys, 0);    // UD+DATA+UEFI, new make
    window->SetListIndex(os::Control::kFSFor, 0);  // NTFS
    Cpu before = CpuNow();
    auto start = Clock::now();
    form.OnClick(os::Control::kCommand1);
    run.makeWall = std::chrono::duration<double>(Clock::now() - start).count();
    Cpu after = CpuNow();
    run.makeCpu = {after.self - before.self, after.children - before.children};
    run.made = !window->Messages().empty() && window->Messages().back().text == app::LangString(29);
    // The check's share: its own time and the listings' runs, on the
    // simulated clock.
    double checkMs = static_cast<double>(make::LastVerdict().durationMs);
    for (const sys::CommandRun& c : sys::RecordedCommands())
      if (c.commandLine.find(" l -slt ") != std::string::npos) checkMs += static_cast<double>(c.durationMs);
    run.checkWall = checkMs / timescale / 1000;
    form.OnUnload();
  }
  if (!keep) fs::remove_all(folder);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  int mb = 1024, runs = 3;
  double timescale = 10;
  bool keep = false;
  std::error_code ec;
  std::string dir = fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0
                        ? std::string("/dev/shm")
                        : fs::temp_directory_path().string();
  for (int i = 1; i < argc; ++i) {
    if (!strcmp(argv[i], "--mb") && i + 1 < argc) mb = atoi(argv[++i]);
    else if (!strcmp(argv[i], "--runs") && i + 1 < argc) runs = atoi(argv[++i]);
    else if (!strcmp(argv[i], "--timescale") && i + 1 < argc) timescale = atof(argv[++i]);
    else if (!strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else if (!strcmp(argv[i], "--keep")) keep = true;
    else {
      fprintf(stderr, "usage: bench_make [--mb N] [--runs N] [--timescale N] [--dir D] [--keep]\n");
      return 2;
    }
  }
  if (mb < 512 || runs < 1 || timescale <= 0) {
    fprintf(stderr, "bench_make: the data package has at least 512 MB, and there is at least one run\n");
    return 2;
  }

  std::string base = (fs::path(dir) / "tv-bench-make-XXXXXX").string();
  if (!mkdtemp(base.data())) {
    fprintf(stderr, "bench_make: cannot make a folder in %s\n", dir.c_str());
    return 2;
  }
  std::string work = base;
  std::string package = work + "/TarnvalePE.7z";
  printf("bench_make: a %d MB data package, %d run(s), timescale %g, in %s\n", mb, runs, timescale, dir.c_str());
  if (!MakeDataPackage(work, mb, package)) {
    fprintf(stderr, "bench_make: cannot make the data package (7zz)\n");
    return 2;
  }
  std::string iso = tvtool::DefaultSampleFolder() + "/PE/TarnvalePE.iso";
  const double settle = kSettleMs / timescale / 1000;

  std::vector<Run> results;
  for (int n = 0; n < runs; ++n) {
    double direct = DirectUnpack(work, iso, package);
    Run run = MakeOnce(work, n, package, timescale, keep);
    run.directWall = direct;
    if (!run.made) {
      fprintf(stderr, "bench_make: run %d: the make did not succeed\n", n + 1);
      if (!keep) fs::remove_all(work);
      return 2;
    }
    printf("  run %d: make %6.2f s (own cpu %.3f s, children %.3f s; check %.3f s) | direct unpack %6.2f s\n", n + 1,
           run.makeWall, run.makeCpu.self, run.makeCpu.children, run.checkWall, run.directWall);
    results.push_back(run);
  }
  if (!keep) fs::remove_all(work);

  auto best = *std::min_element(results.begin(), results.end(),
                                [](const Run& a, const Run& b) { return a.makeWall < b.makeWall; });
  double direct = std::min_element(results.begin(), results.end(), [](const Run& a, const Run& b) {
                    return a.directWall < b.directWall;
                  })->directWall;
  double share = best.makeCpu.children > 0 ? best.makeCpu.self / best.makeCpu.children : 1;
  double limit = 1.3 * direct + settle;
  double checkShare = best.makeWall > 0 ? best.checkWall / best.makeWall : 1;
  bool cpuOk = share <= 0.02, wallOk = best.makeWall <= limit, checkOk = checkShare <= 0.05;
  printf("\n  CPU of the best make: own %.3f s, children %.3f s: own = %.2f%% of the children's (target <= 2%%) %s\n",
         best.makeCpu.self, best.makeCpu.children, 100 * share, cpuOk ? "ok" : "MISSED");
  printf("  wall: make %.2f s, direct unpack %.2f s, settle wait %.2f s: make = %.2f x direct + settle "
         "(target <= 1.3 x direct + settle = %.2f s) %s\n",
         best.makeWall, direct, settle, direct > 0 ? (best.makeWall - settle) / direct : 0, limit,
         wallOk ? "ok" : "MISSED");
  printf("  check of the made disk: %.3f s of the make's %.2f s = %.2f%% (target <= 5%%) %s\n", best.checkWall,
         best.makeWall, 100 * checkShare, checkOk ? "ok" : "MISSED");
  return cpuOk && wallOk && checkOk ? 0 : 1;
}
