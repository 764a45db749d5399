#include "tests/support/ops_machine.h"

#include <filesystem>
#include <fstream>

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "os/profile.h"
#include "os/sim/sim.h"
#include "sys/text.h"
#include "tests/support/tool_machines.h"

namespace test {

namespace fs = std::filesystem;

os::sim::Disk& AddMadeDisk(os::sim::Machine& m, int number, char letter, uint64_t sizeBytes) {
  constexpr uint64_t kMB = 2048;  // sectors
  os::sim::Disk d;
  d.number = number;
  d.vendor = "Generic";
  d.product = "Flash Disk";
  d.sizeBytes = sizeBytes;
  d.cylinders = static_cast<int64_t>(sizeBytes / (255ull * 63 * 512));
  d.mbrCode = "ud";
  d.ud.sizeMB = 300;
  d.ud.folder = "disks/" + std::to_string(number) + "/ud";
  uint64_t efiSectors = 1032 * kMB;
  os::sim::Partition data;
  data.start = 300 * kMB;
  data.sectors = (d.Sectors() / kMB) * kMB - data.start - efiSectors;
  data.type = 0x0C;
  data.fileSystem = "FAT32";
  data.label = "TARNVALE";
  data.letter = letter;
  data.folder = "disks/" + std::to_string(number) + "/part1";
  os::sim::Partition efi;
  efi.start = data.start + data.sectors;
  efi.sectors = efiSectors;
  efi.type = 0x1C;
  efi.hidden = true;
  efi.active = true;
  efi.fileSystem = "FAT32";
  efi.label = "EFI";
  efi.folder = "disks/" + std::to_string(number) + "/part2";
  efi.bootCode = "nt60";
  d.partitions = {data, efi};
  m.disks.push_back(d);
  return m.disks.back();
}

void WriteMadeDiskFiles(const SimMachine& m, int number) {
  std::string disk = m.Folder() + "/disks/" + std::to_string(number);
  WriteFiles(disk + "/ud", {{"grldr", "loader"}, {"menu.lst", "title PE"}});
  WriteFiles(disk + "/part1", {{"Tarnvale.txt", "data"}, {"Tools/readme.txt", "tools"}});
  WriteFiles(disk + "/part2", {{"EFI/BOOT/BOOTX64.EFI", "uefi loader"}, {"bootmgr", "boot manager"},
                               {"boot/BCD", "bcd"}, {"sources/boot.wim", "wim"}});
}

OpsTest::OpsTest() {
  // The sample package as the program folder.
  std::error_code ec;
  fs::copy(std::string(TV_SAMPLE_DIR) + "/program", m.Host("C:\\Tarnvale"),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (ec) ADD_FAILURE() << "cannot copy the sample package: " << ec.message();
}

void OpsTest::SetUp() {
  app::sCfgPath.clear();
  app::sTmpPath.clear();
  app::sFontName.clear();
  app::sIsoFile.clear();
  app::bMobileHardDisk = false;
  app::iTaskbarProg = 0;
  app::iVerifyPhase = 0;
  app::LangStrings.fill("");
}

void OpsTest::TearDown() {
  if (form) form->OnUnload();
  app::sCfgPath.clear();
}

void OpsTest::Start() {
  os::sim::SetCommandLineText("\"C:\\Tarnvale\\Tarnvale.exe\"");
  form = std::make_unique<app::Form1>([this](os::MainWindowEvents&) {
    auto w = std::make_unique<OpsWindow>();
    w->SetInstalledFonts(m.Get().fonts);
    w->SetAnswerer([this](const ui::ShownMessage& message) {
      if (onMessage) onMessage(message);
      if ((message.style & 0x0F) != os::kMbOkCancel || answers.empty()) return static_cast<int>(os::kIdOk);
      int answer = answers.front();
      answers.pop_front();
      return answer;
    });
    window = w.get();
    return w;
  });
  operations = std::make_unique<app::MainOperations>(*form);
  form->SetOperations(operations.get());
  ASSERT_TRUE(form->Load());
}

void OpsTest::Key(int virtualKey, bool ctrl) {
  os::KeyModifiers modifiers;
  modifiers.ctrl = ctrl;
  form->OnKeyDown(virtualKey, modifiers);
}

std::string OpsTest::LastMessage() const { return Messages().empty() ? "(no message)" : Messages().back().text; }

std::vector<std::string> OpsTest::StartedSince(size_t mark) const {
  std::vector<std::string> all = m.Started();
  return std::vector<std::string>(all.begin() + static_cast<long>(std::min(mark, all.size())), all.end());
}

std::vector<std::string> OpsTest::BreakPoints() const {
  std::vector<std::string> values;
  std::ifstream in(m.Folder() + "/profile.log");
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields = sys::Split(line, "\t");
    if (fields.size() == 3 && fields[2].rfind("BreakPoint=", 0) == 0) values.push_back(fields[2].substr(11));
  }
  return values;
}

void OpsTest::SetInstallKey(const std::string& key, const std::string& value) {
  os::ProfileWrite("InstPEToDisk", key, value, "C:\\Tarnvale\\PE\\Tarnvale.cfg");
}

void OpsTest::ExpectIdle() const {
  for (os::Control c : {os::Control::kFsys, os::Control::kFSFor, os::Control::kRDriver, os::Control::kUReFresh,
                        os::Control::kCommand1})
    EXPECT_TRUE(window->IsEnabled(c));
  EXPECT_EQ(app::LangString(3), window->Caption(os::Control::kStatus));
  EXPECT_FALSE(window->ProgressMarquee());
  EXPECT_FALSE(form->guard().Busy());
}

}  // namespace test
