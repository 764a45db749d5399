// The operations that the main window starts, wired to the subsystems that
// own them: the make procedure and the restore (make/), the local install
// and the emulator boot test (extra/). Form1 knows only the Operations
// interface; this class knows Form1. So the window starts the operations and
// the operations work on the window, without a cycle between the two.
//
// Public: class MainOperations.
#pragma once

#include "app/form1.h"

namespace app {

class MainOperations : public Operations {
 public:
  explicit MainOperations(Form1& form) : form_(form) {}

  void Make() override;
  void Restore() override;
  void InstallToLocalDisk() override;
  void BootTest(int mode) override;

 private:
  Form1& form_;
};

}  // namespace app
