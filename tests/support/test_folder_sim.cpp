// Host build: a fresh simulated machine whose drive C: holds the folder.
#include "tests/support/sim_machine.h"
#include "tests/support/test_folder.h"

#include "os/sim/host_files.h"
#include "os/sim/paths.h"
#include "os/sim/sim.h"

namespace test {

namespace {
// One machine per folder; the folder object owns it.
thread_local SimMachine* g_machine = nullptr;
}  // namespace

TestFolder::TestFolder() {
  g_machine = new SimMachine();
  root_ = "C:\\work";
  g_machine->MakeFolder(root_);
}

TestFolder::~TestFolder() {
  delete g_machine;
  g_machine = nullptr;
}

void SetAttributesForTest(const std::string& path, uint32_t attributes) {
  auto host = os::sim::ToHost(*os::sim::Current(), path);
  if (host) os::sim::SetHostAttributes(*host, attributes);
}

ScopedDigitGrouping::ScopedDigitGrouping(const std::string& grouping) {
  old_ = os::sim::Current()->grouping;
  os::sim::Store().Update([&](os::sim::Machine& m) { m.grouping = grouping; });
}

ScopedDigitGrouping::~ScopedDigitGrouping() {
  os::sim::Store().Update([&](os::sim::Machine& m) { m.grouping = old_; });
}

}  // namespace test
