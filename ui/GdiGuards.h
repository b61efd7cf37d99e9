// GdiGuards: one owner for each GDI thing the wizard holds for a while: a
// window's device context, a paint session, an object selected into a DC.
#pragma once

#include <windows.h>

// GetDC of a window, released on every path. Empty when GetDC failed.
class WindowDcGuard {
 public:
  explicit WindowDcGuard(HWND window) : window(window), dc(GetDC(window)) {}
  ~WindowDcGuard() {
    if (dc != nullptr) /* result ignored: nothing to do about it */ ReleaseDC(window, dc);
  }
  WindowDcGuard(const WindowDcGuard&) = delete;
  WindowDcGuard& operator=(const WindowDcGuard&) = delete;
  HDC get() const { return dc; }

 private:
  HWND window;
  HDC dc;
};

// BeginPaint and EndPaint: the DC of one WM_PAINT. EndPaint also runs when
// BeginPaint gave no DC, as the paint session must be closed either way.
class PaintGuard {
 public:
  explicit PaintGuard(HWND window) : window(window), dc(BeginPaint(window, &paint)) {}
  ~PaintGuard() { EndPaint(window, &paint); }
  PaintGuard(const PaintGuard&) = delete;
  PaintGuard& operator=(const PaintGuard&) = delete;
  HDC get() const { return dc; }

 private:
  HWND window;
  PAINTSTRUCT paint;
  HDC dc;
};

// Selects an object into a DC and puts the previous one back at the end. A
// null object or DC selects nothing.
class SelectionGuard {
 public:
  SelectionGuard(HDC dc, HGDIOBJ object)
      : dc(dc), previous(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ~SelectionGuard() {
    if (previous != nullptr && previous != HGDI_ERROR) {
      SelectObject(dc, previous);  // the object it gives back is ours: nothing to free
    }
  }
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

 private:
  HDC dc;
  HGDIOBJ previous;
};
