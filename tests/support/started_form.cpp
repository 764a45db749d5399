#include "tests/support/started_form.h"

#include <fstream>
#include <sstream>

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "os/sim/sim.h"
#include "os/window_procedure.h"

namespace test {

void RecordingOperations::Record(const std::string& what) {
  started.push_back(what);
  if (during) {
    auto inner = std::move(during);
    during = nullptr;
    inner();
  }
}

StartedForm::StartedForm(SimMachine& machine) : m_(machine) {
  app::sCfgPath.clear();
  app::sTmpPath.clear();
  app::sFontName.clear();
  app::bMobileHardDisk = false;
  app::iTaskbarProg = 0;
  app::LangStrings.fill("");
  for (const char* id : {"1033", "2052"}) {
    std::ifstream in(std::string(TV_LANG_DIR) + "/" + id + ".lng", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    m_.WriteFile(std::string("C:\\Tarnvale\\Data\\Lang\\") + id + ".lng", bytes.str());
  }
}

StartedForm::~StartedForm() {
  Unload();
  app::sCfgPath.clear();
}

void StartedForm::Config(const std::string& text) { m_.WriteFile("C:\\Tarnvale\\Tarnvale.cfg", text); }

std::string StartedForm::ConfigFile() const { return m_.ReadFile("C:\\Tarnvale\\Tarnvale.cfg"); }

bool StartedForm::Start(const std::string& arguments) {
  Unload();
  os::sim::SetCommandLineText("\"C:\\Tarnvale\\Tarnvale.exe\"" + (arguments.empty() ? "" : " " + arguments));
  form_ = std::make_unique<app::Form1>(
      [this](os::MainWindowEvents&) {
        auto w = std::make_unique<ui::WindowModel>();
        window_ = w.get();
        return w;
      },
      &ops);
  return form_->Load();
}

void StartedForm::Unload() {
  if (form_) form_->OnUnload();
  form_.reset();
  window_ = nullptr;
}

intptr_t StartedForm::Menu(int id) {
  return os::SendWindowMessage(*window_, {os::kWmSysCommand, static_cast<uintptr_t>(id), 0});
}

}  // namespace test
