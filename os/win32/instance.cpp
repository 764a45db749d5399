// One instance at a time on Windows: a named mutex marks the first
// instance, which is a DDE server (service "Tarnvale", topic "FormDDE")
// taking execute commands from later ones.
#include "os/instance.h"

#include <windows.h>
#include <ddeml.h>

#include <vector>

#include "os/win32/wide.h"

namespace os {
namespace {

constexpr wchar_t kService[] = L"Tarnvale";
constexpr wchar_t kTopic[] = L"FormDDE";

HANDLE g_mark = nullptr;
DWORD g_server = 0;
HSZ g_serviceName = nullptr, g_topicName = nullptr;
std::function<void(const std::string&)> g_onCommand;

HDDEDATA CALLBACK ServerCallback(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
  switch (type) {
    case XTYP_CONNECT:
      return reinterpret_cast<HDDEDATA>(static_cast<INT_PTR>(DdeCmpStringHandles(topic, g_topicName) == 0));
    case XTYP_EXECUTE: {
      DWORD size = DdeGetData(data, nullptr, 0, 0);
      std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
      DdeGetData(data, reinterpret_cast<LPBYTE>(text.data()), size, 0);
      std::string command = win32::Utf8(text.data());
      if (g_onCommand) g_onCommand(command);
      return reinterpret_cast<HDDEDATA>(static_cast<INT_PTR>(DDE_FACK));  // every command is taken
    }
    default:
      return nullptr;
  }
}

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

struct Sending {
  std::wstring command;
  bool taken = false;
};

// The conversation runs in a thread of its own: DdeConnect has no time-out,
// and a first instance that hangs must not hang this one.
DWORD WINAPI Converse(LPVOID param) {
  Sending* s = static_cast<Sending*>(param);
  DWORD client = 0;
  if (DdeInitializeW(&client, &ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return 0;
  HSZ service = DdeCreateStringHandleW(client, kService, CP_WINUNICODE);
  HSZ topic = DdeCreateStringHandleW(client, kTopic, CP_WINUNICODE);
  if (HCONV conv = DdeConnect(client, service, topic, nullptr)) {
    DWORD result = 0;
    DWORD bytes = static_cast<DWORD>((s->command.size() + 1) * sizeof(wchar_t));
    HDDEDATA r = DdeClientTransaction(reinterpret_cast<LPBYTE>(s->command.data()), bytes, conv, nullptr, 0,
                                      XTYP_EXECUTE, 2000, &result);
    s->taken = r != nullptr;
    DdeDisconnect(conv);
  }
  DdeFreeStringHandle(client, service);
  DdeFreeStringHandle(client, topic);
  DdeUninitialize(client);
  return 0;
}

}  // namespace

bool PreviousInstanceExists() {
  if (g_mark) return false;
  HANDLE mark = CreateMutexW(nullptr, FALSE, L"Local\\Tarnvale.FirstInstance");
  if (mark && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mark);
    return true;
  }
  g_mark = mark;  // kept until the process ends
  return false;
}

bool ServeInstanceCommands(std::function<void(const std::string&)> onCommand) {
  g_onCommand = std::move(onCommand);
  if (DdeInitializeW(&g_server, &ServerCallback, APPCLASS_STANDARD | CBF_SKIP_ALLNOTIFICATIONS, 0) != DMLERR_NO_ERROR)
    return false;
  g_serviceName = DdeCreateStringHandleW(g_server, kService, CP_WINUNICODE);
  g_topicName = DdeCreateStringHandleW(g_server, kTopic, CP_WINUNICODE);
  return DdeNameService(g_server, g_serviceName, nullptr, DNS_REGISTER) != nullptr;
}

void StopServingInstanceCommands() {
  if (!g_server) return;
  DdeNameService(g_server, g_serviceName, nullptr, DNS_UNREGISTER);
  DdeFreeStringHandle(g_server, g_serviceName);
  DdeFreeStringHandle(g_server, g_topicName);
  DdeUninitialize(g_server);
  g_server = 0;
}

bool SendToPreviousInstance(std::string_view command, uint32_t timeoutMs) {
  auto* sending = new Sending{win32::Wide(command), false};
  HANDLE thread = CreateThread(nullptr, 0, &Converse, sending, 0, nullptr);
  if (!thread) {
    delete sending;
    return false;
  }
  // While the conversation runs, this thread keeps answering messages sent
  // to its windows: DdeConnect asks every top-level window in turn, this
  // process's own hidden main window among them, and waits for each answer.
  // Posted messages stay queued.
  bool done = false;
  ULONGLONG end = GetTickCount64() + timeoutMs;
  while (true) {
    ULONGLONG now = GetTickCount64();
    DWORD left = now >= end ? 0 : static_cast<DWORD>(end - now);
    DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) {
      done = true;
      break;
    }
    if (r != WAIT_OBJECT_0 + 1) break;  // time is up, or the wait failed
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // handles the sent messages
  }
  CloseHandle(thread);
  bool taken = done && sending->taken;
  // A conversation still running keeps its record; the process ends soon.
  if (done) delete sending;
  return taken;
}

}  // namespace os
