#include "app/run_records.h"

#include <optional>
#include <string>

#include "app/config.h"
#include "app/globals.h"
#include "app/language.h"
#include "app/logged_message.h"
#include "app/version.h"
#include "os/files.h"
#include "os/main_window.h"
#include "os/system.h"
#include "sys/log_records.h"
#include "sys/run_log.h"

namespace app {
namespace {

std::string FileRecord(const std::string& path) {
  std::optional<uint64_t> size = os::FileSize(path);
  return path + (size ? " (" + std::to_string(*size) + " bytes)" : " (size unknown)");
}

std::string PackageRecord(const char* what, const std::string& path) {
  return std::string(what) + ": " + (path.empty() ? std::string("none found") : FileRecord(path));
}

}  // namespace

void LogStartRecord() {
  sys::Log(std::string(kProductName) + " " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
           "." + std::to_string(kVersionRevision) + " started: " + os::CommandLine());
  std::string windows = "Windows: ";
  if (std::optional<os::VersionInfo> v = os::QueryVersion())
    windows += std::to_string(v->major) + "." + std::to_string(v->minor) + " build " + std::to_string(v->build);
  else
    windows += "version unknown";
  windows += os::Is64BitSystem() ? ", 64-bit" : ", 32-bit";
  windows += sizeof(void*) == 4 ? ", this program 32-bit" : ", this program 64-bit";
  windows += os::IsElevated() ? ", elevated (administrator)" : ", not elevated";
  sys::Log(windows);
  sys::Log("language " + std::to_string(os::ThreadLocale()) + ": " +
           (os::PathExists(sLangPath) ? sLangPath : sLangPath + " (missing: English texts built in)"));
  sys::Log("configuration file: " + (sCfgPath.empty() ? std::string("none found") : FileRecord(sCfgPath)));
  sys::Log(PackageRecord("PE image", sIsoFile));
  sys::Log(PackageRecord("UD package", sFbaFile));
  sys::Log(PackageRecord("data package", s7zFile));
  sys::Log("per-run folder: " + (sTmpPath.empty() ? std::string("none (it could not be made)") : sTmpPath));
}

void LogCloseRecord(std::string_view folder) {
  if (folder.empty()) sys::Log("closed; there was no per-run folder");
  else if (os::PathExists(folder)) sys::Log("closed; the per-run folder could NOT be removed: " + std::string(folder));
  else sys::Log("closed; the per-run folder was removed: " + std::string(folder));
}

void LogOperationStart(std::string_view operation, const os::MainWindow& window) {
  ForgetLoggedMessage();
  sys::Log("operation " + std::string(operation) + " starts: disk \"" + window.ListText(os::Control::kRDriver) +
           "\", layout \"" + window.ListText(os::Control::kFsys) + "\", file system \"" +
           window.ListText(os::Control::kFSFor) + "\"");
}

void LogOperationEnd(std::string_view operation) {
  const std::string& message = LastLoggedMessage();
  sys::LogOutcome(operation, message.empty() ? "(no message shown)" : message);
}

}  // namespace app
