// Simulated machines for the make procedure's tests (host build only): the
// built sample package as the program folder C:\Tarnvale (tools, plug-ins,
// language files, PE package and configuration), the main window started on
// it with the operations wired, and what a test reads afterwards: the
// commands the program started, the step marker's values in the order they
// were written, the disk as it is now.
//
// Public: class MakeMachine, UsbStickWithTwoVolumes(), AwaitArchiverEnd().
#pragma once

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

// A 16 GB stick as a disk made earlier may leave it: two FAT32 volumes,
// E: and F:.
os::sim::Disk& UsbStickWithTwoVolumes(os::sim::Machine& m, int number);

// Waits on the host's own clock (at most a minute) until no archiver of the
// current machine runs. The program limits its wait for the background
// unpack of the partition tool on the machine's clock, which a fast time
// scale turns into a fraction of a real second: tests that only want the
// tool there wait this way first.
void AwaitArchiverEnd();

class MakeMachine {
 public:
  // A Windows 10 machine with the sample program folder and `change`
  // applied (disks, faults, the system version). Simulated time runs a
  // thousand times faster than real time, so the settle pause of a
  // partition pass takes five real milliseconds.
  explicit MakeMachine(const std::function<void(os::sim::Machine&)>& change);
  ~MakeMachine();

  SimMachine& sim() { return sim_; }
  app::Form1& form() { return *form_; }
  ui::WindowModel& window() { return *window_; }

  // A key of section Option of the sample configuration (before Start()).
  void SetOption(const std::string& key, const std::string& value);
  // Removes a file of the program folder, such as "PE\TarnvalePE.7z".
  void RemoveProgramFile(const std::string& relative);

  // The main window's start-up. With `prepareTool`, the start-up timer's
  // first tick too, and the wait for its background unpack of the
  // partition tool, as a person who looks at the window first would leave
  // time for.
  void Start(bool prepareTool = true);

  // Chooses the first layout entry that begins with `layout` and names the
  // make mode of language string `mode`, and the file system (index of FSFor).
  void Choose(const std::string& layout, int mode, int fileSystem = 0);

  // Presses the start button. Message boxes are answered in turn with
  // `answers` (os::kIdOk or os::kIdCancel), else with the answers given
  // by SetAnswers() before, then with OK.
  void PressStart(std::vector<int> answers = {});
  void SetAnswers(std::vector<int> answers) { answers_ = std::move(answers); }
  // Called with each message box while it is open, before it is answered
  // (a disk can be swapped behind the user's back).
  void OnMessage(std::function<void(const ui::ShownMessage&)> hook) { onMessage_ = std::move(hook); }

  // The chosen target entry now, and when the start button was last pressed.
  std::string EntryText() const;
  const std::string& EntryAtPress() const { return entryAtPress_; }

  // What the last press did to the progress display, in order: "marquee
  // on|off", "value <n>", "TimerProg on|off", "TimerProg <n> ms", "Timer1
  // on|off", the calls to the taskbar button ("taskbar state <n>",
  // "taskbar value <n> <total>"), and "ceiling <n>" where the ceiling was
  // found changed (it is looked at whenever one of the others changes).
  const std::vector<std::string>& Progress() const { return progress_; }

  // The message boxes the last press showed: "<title>|<text>" each.
  std::vector<std::string> Messages() const;

  // The command lines the program itself started since the last press
  // (programs started by its programs are left out).
  std::vector<std::string> Commands() const;
  // The step marker's values, in the order they were written since the
  // last press.
  std::vector<std::string> BreakPoints() const;

  // Expects the window idle again after an operation: the controls
  // unlocked, the idle captions, no progress timer or marquee, no
  // operation running.
  void ExpectIdle() const;

  // A command pattern with its placeholders filled: <tmp> the temporary
  // folder, <pa> "<cmd> /c <tmp>\PACMD\PartAssist.exe", <x86> and <aes>
  // the tools' quoted paths, <iso>, <fba>, <7z> the packages' quoted short
  // paths, <format> "<cmd> /c C:\Windows\System32\format.com", <cmd> and
  // <diskpart> the full paths of cmd.exe and diskpart.exe in System32.
  std::string Expand(const std::string& pattern) const;
  std::vector<std::string> Expand(const std::vector<std::string>& patterns) const;

  // The disk as tvtool show-disk prints it.
  std::string Disk(int number) const;
  // Host folder of the i-th partition (disk order) of a disk, and of its UD area.
  std::string PartitionFolder(int disk, int index) const;

 private:
  std::vector<std::string> LogLinesFromMark(const std::string& file, size_t mark) const;

  SimMachine sim_;
  std::unique_ptr<app::Form1> form_;
  std::unique_ptr<app::MainOperations> operations_;
  ui::WindowModel* window_ = nullptr;
  std::vector<int> answers_;
  std::function<void(const ui::ShownMessage&)> onMessage_;
  std::string entryAtPress_;
  std::vector<std::string> progress_;
  struct Shown {
    int value = 0, ceiling = 0;
    bool marquee = false, progOn = false, timer1On = false;
    uint32_t progInterval = 0;
  } shown_;
  void TraceProgress();
  void NoteProgress(const std::string& entry);
  size_t messagesBefore_ = 0;
  size_t startedMark_ = 0;
  size_t profileMark_ = 0;
};

}  // namespace test
