// The one place where a dialog or child window finds its C++ object: `this`
// is stored at creation and every message is forwarded to HandleMessage.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

class DialogBase {
 public:
  DialogBase() = default;
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;
  virtual ~DialogBase() = default;

  HWND hwnd() const { return hwnd_; }

  // A modal dialog from template `id` in the language in use; returns its
  // result, or -1 when there is no such template.
  INT_PTR RunModal(int id, HWND owner);
  // A modeless dialog from template `id` in the language in use; the window
  // starts as the template says.
  HWND CreateModeless(int id, HWND owner);
  // Brings the dialog to the front, or the window it waits for (a dialog or
  // message opened over it); false when the dialog is not open.
  bool BringToFront() const;

 protected:
  // Dialog-procedure semantics: return FALSE for the default processing,
  // TRUE when handled (SetResult for messages that return a value).
  virtual INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
  void SetResult(LRESULT result) const { SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result); }
  // Called after the window is gone (WM_NCDESTROY).
  virtual void OnWindowGone() {}

  HWND hwnd_ = nullptr;

 private:
  bool m_shown = false;  // shown at least once
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

// A custom-drawn child window of the program's default child class (no
// background brush, arrow cursor, double clicks), placed over a rectangle.
class ChildWindow {
 public:
  ChildWindow() = default;
  ChildWindow(const ChildWindow&) = delete;
  ChildWindow& operator=(const ChildWindow&) = delete;
  virtual ~ChildWindow();

  // Visible child, no text, id 0, over the hidden `placeholder` control of
  // its parent, so its place follows the dialog font like every other
  // control's: again when the dialog is laid out anew for another scale.
  bool CreateChild(HWND placeholder);
  HWND hwnd() const { return hwnd_; }

 protected:
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // The placeholder's rectangle in its parent's client coordinates.
  RECT PlaceholderRect() const;

  HWND m_placeholder = nullptr;
};

// The program's module, for its resources.
HINSTANCE AppInstance();

// Answers WM_PAINT by filling the whole client area with `color`.
void PaintSolid(HWND hwnd, COLORREF color);

// The program's title, the caption of its message boxes.
const wchar_t* AppTitle();

// A message box with OK and the exclamation icon, captioned with the title.
void ShowAppMessage(HWND owner, const std::wstring& text);

// An ASCII text (a number, a file name, a key name) as a wide one.
std::wstring Widen(std::string_view ascii);

// Text in the ANSI code page, as softveil.ini holds the names of programs,
// and back.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);
