#include "os/process.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "os/win32/handle.h"
#include "os/win32/wide.h"

namespace os {

struct Process::Impl {
  win32::Handle handle;
  DWORD id = 0;
};

Process::Process() = default;
Process::~Process() = default;
Process::Process(Process&&) noexcept = default;
Process& Process::operator=(Process&&) noexcept = default;
Process::Process(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
bool Process::IsValid() const { return impl_ && impl_->handle.valid(); }
uint32_t Process::Id() const { return impl_ ? impl_->id : 0; }

namespace {

// The job every started program belongs to, made on the first start and
// kept open for the life of this process. Its handle closes when this
// process ends, however it ends, and the system then ends every program in
// the job: no hidden tool outlives the window that started it. Null when no
// job could be made.
HANDLE ProgramsJob() {
  static win32::Handle job = [] {
    win32::Handle h(CreateJobObjectW(nullptr, nullptr));
    if (!h.valid()) return h;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(h.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
      return win32::Handle();
    return h;
  }();
  return job.valid() ? job.get() : nullptr;
}

}  // namespace

Process StartProcess(std::string_view commandLine, uint16_t showWindow, uint32_t* error) {
  std::wstring line = win32::Wide(commandLine);
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');  // CreateProcessW may write into the command line
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = showWindow;
  PROCESS_INFORMATION pi{};
  // A hidden program gets no console window at all, not even one that
  // flashes. It starts suspended, so that it joins the job before it can
  // start programs of its own (they join with it).
  DWORD flags = CREATE_SUSPENDED | (showWindow == SW_HIDE ? CREATE_NO_WINDOW : 0);
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &pi)) {
    if (error) *error = GetLastError();
    return Process();
  }
  // Outside a job the program still runs (a system before Windows 8 cannot
  // put a process of a job into a second one); it is then not ended with us.
  if (HANDLE job = ProgramsJob()) AssignProcessToJobObject(job, pi.hProcess);
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  auto impl = std::make_unique<Process::Impl>();
  // The handle from the start itself: the process cannot end and lose its id
  // before we hold it.
  impl->handle = win32::Handle(pi.hProcess);
  impl->id = pi.dwProcessId;
  if (error) *error = 0;
  return Process(std::move(impl));
}

WaitResult WaitProcessOrEvents(const Process& process, uint32_t timeoutMs) {
  if (!process.IsValid()) return WaitResult::kFailed;
  HANDLE h = process.impl()->handle.get();
  DWORD r = MsgWaitForMultipleObjects(1, &h, FALSE, timeoutMs, QS_ALLINPUT);
  if (r == WAIT_OBJECT_0) return WaitResult::kProcessEnded;
  if (r == WAIT_OBJECT_0 + 1) return WaitResult::kEventsPending;
  if (r == WAIT_TIMEOUT) return WaitResult::kTimedOut;
  return WaitResult::kFailed;
}

std::optional<uint32_t> ExitCode(const Process& process) {
  if (!process.IsValid()) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(process.impl()->handle.get(), &code)) return std::nullopt;
  return code;
}

bool TerminateProcess(const Process& process, uint32_t exitCode) {
  if (!process.IsValid()) return false;
  return ::TerminateProcess(process.impl()->handle.get(), exitCode) != FALSE;
}

std::vector<ProcessEntry> ListProcesses() {
  std::vector<ProcessEntry> list;
  win32::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return list;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  if (!Process32FirstW(snapshot.get(), &entry)) return list;
  do {
    list.push_back({entry.th32ProcessID, win32::Utf8(entry.szExeFile)});
  } while (Process32NextW(snapshot.get(), &entry));
  return list;
}

bool CanOpenProcess(uint32_t id, uint32_t access) {
  if (id == 0) return false;
  win32::Handle h(OpenProcess(access, FALSE, id));
  return h.valid();
}

namespace {
using DisableFn = BOOL(WINAPI*)(PVOID*);
using RevertFn = BOOL(WINAPI*)(PVOID);

template <typename F>
F Kernel32(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}
}  // namespace

bool IsWow64() {
  // Only a 32-bit process on a 64-bit Windows is redirected. The system's
  // own answer decides, not its version number: in XP compatibility mode a
  // 64-bit Windows reports version 5.
  if (sizeof(void*) == 8) return false;
  using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto isWow64 = Kernel32<IsWow64Fn>("IsWow64Process");  // absent before XP SP2
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

Wow64RedirectionOff::Wow64RedirectionOff(bool wanted) {
  if (!wanted || !IsWow64()) return;
  auto disable = Kernel32<DisableFn>("Wow64DisableWow64FsRedirection");
  if (disable && disable(&saved_)) off_ = true;
}

Wow64RedirectionOff::~Wow64RedirectionOff() {
  if (!off_) return;
  if (auto revert = Kernel32<RevertFn>("Wow64RevertWow64FsRedirection")) revert(saved_);
}

}  // namespace os
