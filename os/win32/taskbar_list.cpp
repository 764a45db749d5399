// The taskbar list object on Windows: ITaskbarList3 as the system's headers
// declare it, called through its methods. COM is initialised on the
// window's thread for as long as the object lives. The window is
// subclassed to see the registered message "TaskbarButtonCreated": the
// taskbar takes calls for a window only after it has sent it.
#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>

#include "os/taskbar_list.h"

namespace os {
namespace win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x54425052;  // "TBPR"

// {56FDF344-FD6D-11d0-958A-006097C9A090}, the system's taskbar list.
constexpr CLSID kClsidTaskbarList = {0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
// {EA1AFB91-9E28-4B86-90E9-9E9F8A5EEFAF}, its third version.
constexpr IID kIidTaskbarList3 = {0xEA1AFB91, 0x9E28, 0x4B86, {0x90, 0xE9, 0x9E, 0x9F, 0x8A, 0x5E, 0xEF, 0xAF}};

// An elevated program must let the taskbar's message through its filter.
// The call is there from Windows 7 on.
void AllowMessage(HWND window, UINT message) {
  using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto filter = user32 ? reinterpret_cast<Filter>(reinterpret_cast<void*>(
                             GetProcAddress(user32, "ChangeWindowMessageFilterEx")))
                       : nullptr;
  if (filter) filter(window, message, 1 /* MSGFLT_ALLOW */, nullptr);
}

class Win32TaskbarList : public TaskbarList {
 public:
  Win32TaskbarList(HWND window, ITaskbarList3* list, bool comInitialised)
      : window_(window), list_(list), comInitialised_(comInitialised) {
    buttonCreated_ = RegisterWindowMessageW(L"TaskbarButtonCreated");
    AllowMessage(window_, buttonCreated_);
    subclassed_ = SetWindowSubclass(window_, &Win32TaskbarList::Watch, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  }

  ~Win32TaskbarList() override {
    if (subclassed_ && IsWindow(window_)) RemoveWindowSubclass(window_, &Win32TaskbarList::Watch, kSubclassId);
    list_->Release();
    if (comInitialised_) CoUninitialize();
  }

  int32_t SetProgressState(int state) override {
    if (!ready_) return kTaskbarNotReady;
    return list_->SetProgressState(window_, static_cast<TBPFLAG>(state));
  }
  int32_t SetProgressValue(uint64_t completed, uint64_t total) override {
    if (!ready_) return kTaskbarNotReady;
    return list_->SetProgressValue(window_, completed, total);
  }

 private:
  static LRESULT CALLBACK Watch(HWND hwnd, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32TaskbarList*>(data);
    if (message == self->buttonCreated_) self->ready_ = true;
    if (message == WM_NCDESTROY) {
      RemoveWindowSubclass(hwnd, &Win32TaskbarList::Watch, kSubclassId);
      self->subclassed_ = false;
      self->ready_ = false;
    }
    return DefSubclassProc(hwnd, message, wp, lp);
  }

  HWND window_;
  ITaskbarList3* list_;
  bool comInitialised_;
  UINT buttonCreated_ = 0;
  bool subclassed_ = false;
  bool ready_ = false;
};

}  // namespace
}  // namespace win32

std::unique_ptr<TaskbarList> CreateTaskbarList(uintptr_t window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  if (!IsWindow(hwnd)) return nullptr;
  // S_FALSE: COM was initialised on this thread already; it still counts.
  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool comInitialised = SUCCEEDED(init);
  if (FAILED(init) && init != RPC_E_CHANGED_MODE) return nullptr;
  void* object = nullptr;
  HRESULT hr = CoCreateInstance(win32::kClsidTaskbarList, nullptr, CLSCTX_INPROC_SERVER, win32::kIidTaskbarList3,
                                &object);
  auto* list = static_cast<ITaskbarList3*>(object);
  if (SUCCEEDED(hr) && list && FAILED(list->HrInit())) {
    list->Release();
    list = nullptr;
  }
  if (FAILED(hr) || !list) {
    if (comInitialised) CoUninitialize();
    return nullptr;
  }
  return std::make_unique<win32::Win32TaskbarList>(hwnd, list, comInitialised);
}

}  // namespace os
