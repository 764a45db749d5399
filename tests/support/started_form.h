// The main window started on a simulated machine, for the tests of its
// system menu and its two dialogs (host build only): Form1 over a window
// model, with the program in C:\Tarnvale, the shipped language files, and
// operations that only record what was started.
//
// Public: class RecordingOperations, class StartedForm.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "tests/support/sim_machine.h"
#include "ui/window_model.h"

namespace test {

class RecordingOperations : public app::Operations {
 public:
  std::vector<std::string> started;
  std::function<void()> during;  // runs inside the next operation
  void Make() override { Record("make"); }
  void Restore() override { Record("restore"); }
  void InstallToLocalDisk() override { Record("install"); }
  void BootTest(int mode) override { Record("boot " + std::to_string(mode)); }

 private:
  void Record(const std::string& what);
};

class StartedForm {
 public:
  // Writes the shipped language files into the machine's program folder.
  explicit StartedForm(SimMachine& machine);
  ~StartedForm();

  // The configuration file C:\Tarnvale\Tarnvale.cfg, as written.
  void Config(const std::string& text);
  std::string ConfigFile() const;
  // Loads Form1 (the start-up sequence) with these command-line arguments.
  bool Start(const std::string& arguments = "");
  // Closes the window as the program does (unload).
  void Unload();

  app::Form1& form() { return *form_; }
  ui::WindowModel& window() { return *window_; }
  // WM_SYSCOMMAND with `id` through the window's procedure, as choosing
  // the entry does; the procedure's answer.
  intptr_t Menu(int id);

  RecordingOperations ops;

 private:
  SimMachine& m_;
  std::unique_ptr<app::Form1> form_;
  ui::WindowModel* window_ = nullptr;
};

}  // namespace test
