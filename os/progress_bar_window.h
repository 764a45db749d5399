// The window of a progress bar control: a container window, placed in a
// host window, that hosts one progress bar window of the common controls
// ("msctls_progress32"). The control's logic (ui::ProgressBar) creates,
// replaces and sizes the bar window and sends it its messages; the main
// window and the About window each give one container.
//
// Public: the progress bar's messages, styles and colours with their Win32
//         values; class ProgressControl (what a host window passes on to
//         its control); class ProgressBarWindow; CreateProgressBarWindow().
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace os {

enum : uint32_t {
  kPbmSetPos = 0x0402,
  kPbmSetRange32 = 0x0406,
  kPbmGetRange = 0x0407,  // wParam 1: the lower end, 0: the upper end
  kPbmGetPos = 0x0408,
  kPbmSetBarColor = 0x0409,
  kPbmSetMarquee = 0x040A,
  kPbmGetBarColor = 0x040F,
  kPbmSetState = 0x0410,
  kPbmGetState = 0x0411,
};

enum : uint32_t {
  kWsChild = 0x40000000,
  kWsVisible = 0x10000000,
  kPbsSmooth = 0x01,
  kPbsVertical = 0x04,
  kPbsMarquee = 0x08,
};

// Bar states and colours (COLORREF: red in the low byte).
enum : uint32_t { kPbstNormal = 1, kPbstError = 2, kPbstPaused = 3 };
enum : uint32_t { kClrDefault = 0xFF000000, kClrRed = 0x000000FF, kClrYellow = 0x0000FFFF };

// The two properties of a progress bar control that its host window passes
// on (the main window's ProgressBar1).
class ProgressControl {
 public:
  virtual ~ProgressControl() = default;
  virtual void SetValue(int32_t value) = 0;
  virtual int32_t Value() const = 0;
  virtual void SetMarquee(bool on) = 0;
  virtual bool Marquee() const = 0;
};

struct BarRect {
  int x = 0, y = 0, width = 0, height = 0;
};

class ProgressBarWindow {
 public:
  virtual ~ProgressBarWindow() = default;

  // --- The container ---
  // Its window handle (what the control's hWnd gives).
  virtual uintptr_t Handle() const = 0;
  // Its client size in pixels.
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  // Moves and sizes it in its host window, in pixels. When its size changes,
  // the resize handler runs before this returns.
  virtual void Place(int x, int y, int width, int height) = 0;
  virtual void SetResizeHandler(std::function<void()> handler) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool IsVisible() const = 0;

  // --- The hosted bar window ---
  // Creates it at (0, 0) with the style and size given and child id 1. A bar
  // window that exists is destroyed first. False when it cannot be created.
  virtual bool CreateBar(uint32_t style, int width, int height) = 0;
  virtual void DestroyBar() = 0;
  virtual bool HasBar() const = 0;
  virtual uintptr_t BarHandle() const = 0;
  // Its window style as the window reports it, and its place in the container.
  virtual uint32_t BarStyle() const = 0;
  virtual BarRect BarBounds() const = 0;
  // Moves it to (0, 0) with the size given, repainting it.
  virtual void MoveBar(int width, int height) = 0;
  // Sends a message to it and returns the answer; 0 when there is no bar window.
  virtual intptr_t SendToBar(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

// A container of width x height pixels at (x, y) in the host window `parent`
// (a native window handle), with the child id `id`. With parent 0 it is a
// hidden window of its own (a control that no window shows, as in tests).
std::unique_ptr<ProgressBarWindow> CreateProgressBarWindow(uintptr_t parent, int id, int x, int y, int width,
                                                           int height);

}  // namespace os
