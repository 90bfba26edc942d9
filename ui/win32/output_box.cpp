#include "output_box.hpp"

#include "accessible.hpp"
#include "form1.hpp"
#include "form1_layout.hpp"

#include <cwchar>
#include <string>

namespace tavrin::ui {

namespace {

// The box keeps its look, and what it told screen readers, in its window's
// extra bytes.
enum Slot : int {
  font_slot,   // HFONT of the printed line
  bitmap_slot, // HBITMAP under it; none: plain COLOR_WINDOW
  dpi_slot,    // the bitmap's scale, dpi / 96
  ink_slot,    // COLORREF of the line and the focus ring
  told_slot,   // 1 while a change waits to be told (changed_message posted)
  live_slot,   // 0 until a screen reader asks; 1 line marked a live region, 2 not markable
  slot_count
};

LONG_PTR get(HWND box, Slot slot) {
  return GetWindowLongPtrW(box, static_cast<int>(slot * sizeof(LONG_PTR)));
}
void put(HWND box, Slot slot, LONG_PTR value) {
  SetWindowLongPtrW(box, static_cast<int>(slot * sizeof(LONG_PTR)), value);
}

constexpr UINT copy_command = 1;

// Posted by the first change of the printed line in an action, so screen
// readers hear once of the line the action left, however often it changed
// (Convert clears, then prints).
constexpr UINT changed_message = WM_USER + 1;

const AccessibleFacts& facts() {
  static constexpr AccessibleFacts box{spec_of(Control::picConverted).accessible_name, true};
  return box;
}

void paint(HWND box) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(box, &ps);
  RECT inner;
  GetClientRect(box, &inner);
  // The bitmap at the inner top-left corner; the client area is inside the
  // border, so whatever does not fit is cut at the box's edges.
  if (!draw_artwork(dc, reinterpret_cast<HBITMAP>(get(box, bitmap_slot)),
                    static_cast<int>(get(box, dpi_slot))))
    FillRect(dc, &inner, GetSysColorBrush(COLOR_WINDOW));
  // The printed line, at the print position: the inner top-left corner.
  const auto ink = static_cast<COLORREF>(get(box, ink_slot));
  SetBkMode(dc, TRANSPARENT);
  const std::wstring line = window_wide_text(box);
  if (!line.empty()) {
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(get(box, font_slot)));
    SetTextColor(dc, ink);
    TextOutW(dc, 0, 0, line.c_str(), static_cast<int>(line.size()));
    SelectObject(dc, old);
  }
  // The focus ring dotted in the line's colour, which reads over the bitmap
  // (an inverted ring would vanish over its middle greys).
  if (GetFocus() == box) {
    HPEN pen = CreatePen(PS_DOT, 1, ink);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, inner.left, inner.top, inner.right, inner.bottom);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    DeleteObject(pen);
  }
  EndPaint(box, &ps);
}

void show_menu(HWND box, LPARAM at) {
  POINT p{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  if (at == -1) { // from the keyboard (Shift+F10, the menu key): at the box
    RECT r;
    GetWindowRect(box, &r);
    p = {r.left + 2, r.bottom - 2};
  }
  HMENU menu = CreatePopupMenu();
  const std::wstring caption(copy_caption.begin(), copy_caption.end()); // ASCII
  AppendMenuW(menu, MF_STRING | (GetWindowTextLengthW(box) ? 0 : MF_GRAYED), copy_command,
              caption.c_str());
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, p.x, p.y, 0, box, nullptr));
  DestroyMenu(menu);
  if (chosen == copy_command) copy_output_line(box);
}

LRESULT CALLBACK output_box_proc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
  case WM_PAINT:
    paint(box);
    return 0;
  case WM_ERASEBKGND:
    return 1; // WM_PAINT covers every pixel
  case WM_SETTEXT: {
    const LRESULT done = DefWindowProcW(box, message, wparam, lparam);
    InvalidateRect(box, nullptr, FALSE);
    if (!get(box, told_slot)) {
      put(box, told_slot, 1);
      PostMessageW(box, changed_message, 0, 0);
    }
    return done;
  }
  case changed_message:
    // The line is the box's value, and the name of its child, a live region
    // read out even while the focus is on Convert.
    put(box, told_slot, 0);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, box, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(event_live_region_changed, box, OBJID_CLIENT, line_child);
    return 0;
  case WM_GETOBJECT:
    if (!asks_for_client(lparam)) break;
    // Marked only once a screen reader asks: nothing is spent without one.
    if (!get(box, live_slot)) put(box, live_slot, mark_live_region(box) ? 1 : 2);
    if (const LRESULT object = client_object(box, wparam, facts())) return object;
    break;
  case WM_DESTROY:
    if (get(box, live_slot) == 1) unmark_live_region(box);
    break;
  case WM_SETFONT:
    put(box, font_slot, static_cast<LONG_PTR>(wparam));
    if (LOWORD(lparam)) InvalidateRect(box, nullptr, FALSE);
    return 0;
  case WM_GETFONT:
    return get(box, font_slot);
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
    // A click takes the focus and nothing more: the box converts nothing.
    SetFocus(box);
    return 0;
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    InvalidateRect(box, nullptr, FALSE);
    return 0;
  case WM_CHAR:
    if (wparam == 3) copy_output_line(box); // Ctrl+C
    return 0;
  case WM_CONTEXTMENU:
    show_menu(box, lparam);
    return 0;
  }
  return DefWindowProcW(box, message, wparam, lparam);
}

} // namespace

bool draw_artwork(HDC dc, HBITMAP bitmap, int dpi) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return false;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap);
  if (dpi == 96) {
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, MulDiv(info.bmWidth, dpi, 96), MulDiv(info.bmHeight, dpi, 96), source, 0,
               0, info.bmWidth, info.bmHeight, SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
  return true;
}

void register_output_box(HINSTANCE instance) {
  WNDCLASSEXW cls{};
  if (GetClassInfoExW(instance, output_box_class, &cls)) return;
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = output_box_proc;
  cls.cbWndExtra = slot_count * sizeof(LONG_PTR);
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  cls.lpszClassName = output_box_class;
  RegisterClassExW(&cls);
}

void set_output_look(HWND box, HBITMAP bitmap, COLORREF ink, int dpi) {
  put(box, bitmap_slot, reinterpret_cast<LONG_PTR>(bitmap));
  put(box, ink_slot, static_cast<LONG_PTR>(ink));
  put(box, dpi_slot, dpi);
  InvalidateRect(box, nullptr, FALSE);
}

bool copy_output_line(HWND box) {
  const std::wstring line = window_wide_text(box);
  if (line.empty() || !OpenClipboard(box)) return false;
  bool copied = false;
  if (EmptyClipboard()) {
    const std::size_t bytes = (line.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
      std::wmemcpy(static_cast<wchar_t*>(GlobalLock(memory)), line.c_str(), line.size() + 1);
      GlobalUnlock(memory);
      copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      if (!copied) GlobalFree(memory);
    }
  }
  CloseClipboard();
  return copied;
}

} // namespace tavrin::ui
