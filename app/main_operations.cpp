#include "app/main_operations.h"

#include "extra/install_pe.h"
#include "extra/startup_test.h"
#include "make/make_procedure.h"
#include "make/restore.h"

namespace app {

void MainOperations::Make() { make::MakeProcedure(form_); }
void MainOperations::Restore() { make::InitDisk(form_); }
void MainOperations::InstallToLocalDisk() { extra::InstPEToDisk(form_); }
void MainOperations::BootTest(int mode) { extra::StartupTest(form_, mode); }

}  // namespace app
