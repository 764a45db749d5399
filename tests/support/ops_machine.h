// The fixture of the tests of the three operations of the main window (the
// restore, the local install and the boot test), host build only: a
// simulated machine with the sample PE package in C:\Tarnvale, the main
// window as a ui::WindowModel whose message boxes are answered from a queue,
// Form1 and the real operations. Disks made by a make are described directly
// in the machine: a UD area, the data partition and the hidden EFI partition.
//
// Public: class OpsWindow, class OpsTest, AddMadeDisk().
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/main_operations.h"
#include "os/sim/machine.h"
#include "tests/support/sim_machine.h"
#include "ui/window_model.h"

namespace test {

// The window model, telling a test about every caption it is given, so a
// test can act in the middle of an operation (as a user clicking while an
// outside program runs).
class OpsWindow : public ui::WindowModel {
 public:
  std::function<void(os::Control, const std::string&)> onCaption;
  void SetCaption(os::Control control, std::string_view text) override {
    ui::WindowModel::SetCaption(control, text);
    if (onCaption) onCaption(control, std::string(text));
  }
  // Told each time the busy marquee is switched.
  std::function<void(bool)> onMarquee;
  void SetProgressMarquee(bool on) override {
    ui::WindowModel::SetProgressMarquee(on);
    if (onMarquee) onMarquee(on);
  }
};

// A disk as the make leaves it in the UD+DATA+UEFI layout: a 300 MB UD area
// holding grldr, a FAT32 data partition with the letter, and a hidden,
// active FAT32 EFI partition of 1032 MB with the PE's boot files. Its files
// are written by WriteMadeDiskFiles() once the description is saved.
os::sim::Disk& AddMadeDisk(os::sim::Machine& m, int number, char letter, uint64_t sizeBytes = 16ull << 30);
void WriteMadeDiskFiles(const SimMachine& m, int number);

class OpsTest : public ::testing::Test {
 protected:
  OpsTest();
  void SetUp() override;
  void TearDown() override;

  // Loads the main window as the program starts it.
  void Start();
  void Key(int virtualKey, bool ctrl = false);
  // The message boxes shown so far, and the text of the last one.
  const std::vector<ui::ShownMessage>& Messages() const { return window->Messages(); }
  std::string LastMessage() const;
  // The command lines started since the mark (a count from Started()).
  std::vector<std::string> StartedSince(size_t mark) const;
  // The values written to BreakPoint, in order.
  std::vector<std::string> BreakPoints() const;
  // Writes a key of the configuration file's [InstPEToDisk] section.
  void SetInstallKey(const std::string& key, const std::string& value);
  // Every input control enabled, the status line idle, the marquee off.
  void ExpectIdle() const;

  SimMachine m;
  std::unique_ptr<app::Form1> form;
  std::unique_ptr<app::MainOperations> operations;
  OpsWindow* window = nullptr;
  // Answers for the message boxes, taken in order; OK when empty.
  std::deque<int> answers;
  // Called with each message box while it is open, before it is answered.
  std::function<void(const ui::ShownMessage&)> onMessage;
};

}  // namespace test
