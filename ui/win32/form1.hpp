#pragma once

#include "form1_layout.hpp"

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

namespace tavrin {
class ArithmeticFault;
}

namespace tavrin::ui {

/// Resource numbers in Tavrin.exe (ui/tavrin.rc.in).
enum Resource : int {
  icon_resource = 1,       ///< the program icon, five images
  background_resource = 101, ///< the window's background bitmap
  output_resource = 102,   ///< the output box's bitmap
};

/// UTF-8 text as Windows' UTF-16.
std::wstring widen(std::string_view text);
/// Windows' UTF-16 text as UTF-8; a lone surrogate becomes U+FFFD.
std::string narrow(std::wstring_view text);
/// The whole text of a window, as Windows holds it (UTF-16).
std::wstring window_wide_text(HWND window);
/// The whole text of a window, as UTF-8.
std::string window_text(HWND window);

/// Tavrin's window on Windows: the category and unit lists, the input and
/// output boxes, Convert and Exit, built from the controls table.
///
/// Four handlers carry all behaviour: load, a choice from the category list,
/// Convert and Exit. They read the controls, call the conversion core and
/// show the result; nothing else reacts.
class Form1 {
public:
  /// Creates the window, hidden, at its fixed place and size, and runs the load handler.
  explicit Form1(HINSTANCE instance);
  /// Destroys the window if it is still there.
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  /// The window; null once it has ended.
  HWND hwnd() const { return hwnd_; }
  /// The window of one control.
  HWND control(Control which) const { return controls_[static_cast<std::size_t>(which)]; }
  /// A control's window id (GetDlgItem), from its place in the controls table:
  /// numbered from 100, clear of IDOK and IDCANCEL, which nothing here answers.
  static constexpr int control_id(Control which) { return 100 + static_cast<int>(which); }
  /// The text colour a label, the input box or the output box is drawn in.
  COLORREF label_colour(Control which) const;

  /// Shows the window with the focus on `cboType`.
  void show(int show_command);

  /// Handles the keys a window of controls answers itself before `message` is
  /// dispatched: Tab and Shift+Tab move the focus in tab order, Alt with an
  /// access key presses its button. Returns true when the message was used.
  /// Enter and Escape are left to the focused control: neither button is a
  /// default or cancel button.
  bool route_key(const MSG& message);

private:
  static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  void create_controls();
  void place(int dpi);
  void apply_look();
  void paint_background(HDC dc);

  void load();
  void cboType_click();
  void cmdConvert_click();
  void cmdExit_click();
  void show_fault(const ArithmeticFault& fault);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  std::array<HWND, form1_controls.size()> controls_{};
  std::array<HFONT, fonts.size()> fonts_{};
  std::array<COLORREF, form1_controls.size()> text_colours_{};
  HBITMAP background_ = nullptr;
  HBITMAP output_bitmap_ = nullptr;
  HBRUSH input_brush_ = nullptr;
  COLORREF input_back_ = 0;
  bool high_contrast_ = false;
  HWND focus_ = nullptr;
  std::wstring typed_before_drop_;
  int dpi_ = 96;
};

/// Runs the window's messages until it ends; returns the exit code.
int message_loop(Form1& form);

} // namespace tavrin::ui
