#include "form1.hpp"

#include "accessible.hpp"
#include "output_box.hpp"
#include "readable.hpp"

#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/catalogue.hpp"
#include "tavrin/convert.hpp"
#include "tavrin/number_text.hpp"

#include <commctrl.h>

#include <cmath>
#include <cwctype>
#include <exception>
#include <span>

namespace tavrin::ui {

namespace {

constexpr const wchar_t* form1_class = L"TavrinForm1";

// Fixed single border, title bar with window menu and close box; no
// minimise or maximise box, no sizing frame.
constexpr DWORD form1_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD form1_ex_style = 0;

// Posted after a list's text was typed in (wparam 0) or its list dropped
// (wparam 1), with the list in lparam: see Form1::handle.
constexpr UINT keep_typed = WM_APP + 1;

// How many entries a dropped list shows before it scrolls: all 15 categories.
constexpr int visible_items = 15;

template <class Function> Function user32_function(const char* name) {
  // Newer than the oldest Windows Tavrin runs on, so looked up at run time.
  static HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

int dpi_of(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static auto get_dpi = user32_function<GetDpiForWindowFn>("GetDpiForWindow");
  if (get_dpi) return static_cast<int>(get_dpi(window));
  HDC dc = GetDC(window);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(window, dc);
  return dpi;
}

RECT outer_rect(RECT client, int dpi) {
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static auto adjust = user32_function<AdjustFn>("AdjustWindowRectExForDpi");
  if (adjust)
    adjust(&client, form1_style, FALSE, form1_ex_style, static_cast<UINT>(dpi));
  else
    AdjustWindowRectEx(&client, form1_style, FALSE, form1_ex_style);
  return client;
}

Rgb rgb_of(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }
COLORREF colorref_of(Rgb c) {
  return RGB(static_cast<BYTE>(c.red), static_cast<BYTE>(c.green), static_cast<BYTE>(c.blue));
}

// The desktop's colour for a colour of the table: by its system-colour index,
// or the control's standard text colour.
COLORREF system_colour(SystemColour which) {
  return GetSysColor(which == SystemColour::standard ? COLOR_WINDOWTEXT : static_cast<int>(which));
}

// Whether the user chose a high-contrast theme: then the window shows no
// artwork and only the colours of that theme.
bool high_contrast_on() {
  HIGHCONTRASTW setting{};
  setting.cbSize = sizeof setting;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
         (setting.dwFlags & HCF_HIGHCONTRASTON);
}

// The darkest pixel of a 32-bit bitmap under a control's place at 96 DPI,
// where the bitmap's top-left corner stands at `origin` (twips): the
// backdrop against which its dark text reads worst. `otherwise` for a
// bitmap that cannot be read.
Rgb darkest_in_art(HBITMAP bitmap, const TwipsRect& place, const TwipsRect& origin, Rgb otherwise) {
  DIBSECTION art{};
  if (!bitmap || GetObjectW(bitmap, sizeof art, &art) != sizeof art || !art.dsBm.bmBits ||
      art.dsBm.bmBitsPixel != 32)
    return otherwise;
  auto pixel_at = [&](int x, int y) {
    const int row = art.dsBmih.biHeight > 0 ? art.dsBm.bmHeight - 1 - y : y;
    const auto* p = static_cast<const BYTE*>(art.dsBm.bmBits) + row * art.dsBm.bmWidthBytes + 4 * x;
    return Rgb{p[2], p[1], p[0]};
  };
  return darkest_under(pixel_at, art.dsBm.bmWidth, art.dsBm.bmHeight,
                       twips_to_pixels(place.left - origin.left),
                       twips_to_pixels(place.top - origin.top), twips_to_pixels(place.width),
                       twips_to_pixels(place.height));
}

int CALLBACK face_found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool installed(HDC dc, std::wstring_view face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(query.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExW(dc, &query, face_found, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// A font of the table at `dpi`: its first installed face (the designed one in
// its own character set), else whatever Windows maps the generic family to.
HFONT make_font(const FontSpec& design, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(design.points * dpi / 72.0));
  font.lfWeight = design.weight;
  font.lfItalic = design.italic;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  switch (design.generic) {
  case GenericFamily::serif: font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN; break;
  case GenericFamily::sans_serif: font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS; break;
  case GenericFamily::cursive: font.lfPitchAndFamily = VARIABLE_PITCH | FF_SCRIPT; break;
  }
  HDC dc = GetDC(nullptr);
  bool designed = true;
  for (std::string_view face : design.faces) {
    const std::wstring wide = widen(face);
    if (!wide.empty() && installed(dc, wide)) {
      wide.copy(font.lfFaceName, LF_FACESIZE - 1);
      if (designed) font.lfCharSet = static_cast<BYTE>(design.charset);
      break;
    }
    designed = false;
  }
  ReleaseDC(nullptr, dc);
  return CreateFontIndirectW(&font);
}

int pixels(int twips, int dpi) { return twips_to_pixels(twips, dpi); }

std::wstring item_text(HWND list, LRESULT index) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(list, CB_GETLBTEXTLEN, index, 0)), L'\0');
  SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return text;
}

void fill(HWND list, std::span<const std::string_view> names) {
  for (std::string_view name : names)
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
}

void clear(HWND list) {
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  SetWindowTextW(list, L"");
}

} // namespace

std::wstring widen(std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

std::wstring window_wide_text(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
  if (!text.empty())
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size() + 1))));
  return text;
}

std::string window_text(HWND window) { return narrow(window_wide_text(window)); }

Form1::Form1(HINSTANCE instance) : instance_(instance) {
  WNDCLASSEXW cls{};
  if (!GetClassInfoExW(instance, form1_class, &cls)) {
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = window_proc;
    cls.hInstance = instance;
    cls.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(icon_resource), IMAGE_ICON,
                                              0, 0, LR_DEFAULTSIZE));
    cls.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(icon_resource), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    // The window's colour setting; the background bitmap hides it.
    cls.hbrBackground = GetSysColorBrush(static_cast<int>(form1_colour));
    cls.lpszClassName = form1_class;
    RegisterClassExW(&cls);
  }
  register_output_box(instance);
  background_ = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(background_resource),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  output_bitmap_ = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(output_resource),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));

  const std::wstring caption = widen(form1_caption);
  CreateWindowExW(form1_ex_style, form1_class, caption.c_str(), form1_style, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
  // The icon also as the window's own, which other programs (the task bar,
  // Alt+Tab) ask the window for.
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(cls.hIcon));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(cls.hIconSm));
  create_controls();
  // The client area's top-left corner stands at a fixed place on the screen,
  // in twips at the window's DPI, so it keeps its designed size everywhere.
  dpi_ = dpi_of(hwnd_);
  const int left = pixels(form1_left, dpi_), top = pixels(form1_top, dpi_);
  const RECT outer = outer_rect({left, top, left + pixels(form1_client.width, dpi_),
                                 top + pixels(form1_client.height, dpi_)},
                                dpi_);
  SetWindowPos(hwnd_, nullptr, outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
  place(dpi_);
  apply_look();
  load();
}

Form1::~Form1() {
  if (hwnd_) DestroyWindow(hwnd_);
  for (HFONT font : fonts_) DeleteObject(font);
  DeleteObject(background_);
  DeleteObject(output_bitmap_);
  DeleteObject(input_brush_);
}

COLORREF Form1::label_colour(Control which) const {
  return text_colours_[static_cast<std::size_t>(which)];
}

void Form1::show(int show_command) {
  ShowWindow(hwnd_, show_command);
  UpdateWindow(hwnd_);
  // The focus starts on the first control in tab order.
  SetFocus(control(Control::cboType));
}

void Form1::create_controls() {
  // Created in tab order; the Tab key follows the table, not the z-order.
  for (std::size_t i = 0; i < form1_controls.size(); ++i) {
    const ControlSpec& design = form1_controls[i];
    const wchar_t* cls = L"";
    DWORD style = WS_CHILD | WS_VISIBLE, ex_style = 0;
    switch (design.kind) {
    case ControlKind::list:
      // Typed text is read as typed: no sorting, no recasing, the box
      // scrolls so any length can be typed.
      cls = WC_COMBOBOXW;
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
      break;
    case ControlKind::text_box:
      cls = WC_EDITW;
      style |= ES_AUTOHSCROLL | WS_TABSTOP;
      ex_style = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::output_box:
      cls = output_box_class;
      style |= WS_TABSTOP;
      ex_style = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::label:
      cls = WC_STATICW;
      style |= SS_LEFT | SS_NOPREFIX;
      break;
    case ControlKind::button:
      cls = WC_BUTTONW;
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    }
    controls_[i] = CreateWindowExW(ex_style, cls, widen(design.caption).c_str(), style, 0, 0, 0, 0,
                                   hwnd_, reinterpret_cast<HMENU>(control_id(static_cast<Control>(i))),
                                   instance_, nullptr);
    if (design.kind == ControlKind::list) {
      SendMessageW(controls_[i], CB_LIMITTEXT, 0, 0); // no length limit
      SendMessageW(controls_[i], CB_SETMINVISIBLE, visible_items, 0);
    }
  }
  SendMessageW(control(Control::txtOriginal), EM_SETLIMITTEXT, 0, 0); // no length limit
  // Screen readers name a list after the static text just before it in
  // z-order; the focus does not follow the z-order here, so each label the
  // controls table pairs with a list stands just before it. A box no label
  // names tells its name itself: the input box through
  // name_for_screen_readers, the output box from its own class. A button's
  // name is its caption.
  for (std::size_t i = 0; i < form1_controls.size(); ++i)
    if (form1_controls[i].kind == ControlKind::text_box)
      name_for_screen_readers(controls_[i], form1_controls[i]);
  for (const LabelFor& pair : form1_labels) {
    HWND before = GetWindow(control(pair.named), GW_HWNDPREV);
    SetWindowPos(control(pair.label), before ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Form1::place(int dpi) {
  dpi_ = dpi;
  for (HFONT& font : fonts_) {
    DeleteObject(font);
    font = nullptr;
  }
  for (std::size_t role = 0; role < fonts.size(); ++role) fonts_[role] = make_font(fonts[role], dpi);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[0]), FALSE);
  for (std::size_t i = 0; i < form1_controls.size(); ++i) {
    const ControlSpec& design = form1_controls[i];
    HWND c = controls_[i];
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(design.font)]),
                 FALSE);
    int height = pixels(design.twips.height, dpi);
    if (design.kind == ControlKind::list) {
      // The closed box is as tall as the table says: its edit line is that
      // less the frame; the window's own height includes the dropped list.
      const int frame = GetSystemMetrics(SM_CYEDGE) * 2 + 2;
      SendMessageW(c, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - frame);
      height += visible_items * (height - frame);
    }
    SetWindowPos(c, nullptr, pixels(design.twips.left, dpi), pixels(design.twips.top, dpi),
                 pixels(design.twips.width, dpi), height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form1::apply_look() {
  high_contrast_ = high_contrast_on();
  // In high contrast the theme's colours stand as the user chose them, as in
  // a dialog: the window in the button face colour with its labels in the
  // button text colour, the boxes in the window and window text colours.
  // Otherwise label text colours are the desktop's system colours, and the
  // output box's line the standard text colour, darkened where they would
  // not read over the artwork behind them (the shared rule).
  const TwipsRect at_origin{};
  for (std::size_t i = 0; i < form1_controls.size(); ++i) {
    const ControlSpec& design = form1_controls[i];
    if (design.kind != ControlKind::label) continue;
    text_colours_[i] =
        high_contrast_ ? GetSysColor(COLOR_BTNTEXT)
                       : colorref_of(readable_on(
                             rgb_of(system_colour(design.text)),
                             darkest_in_art(background_, design.twips, at_origin,
                                           rgb_of(GetSysColor(static_cast<int>(form1_colour))))));
  }
  const ControlSpec& input = spec_of(Control::txtOriginal);
  input_back_ = high_contrast_ ? GetSysColor(COLOR_WINDOW) : system_colour(input.back);
  DeleteObject(input_brush_);
  input_brush_ = CreateSolidBrush(input_back_);
  const Rgb text = rgb_of(GetSysColor(COLOR_WINDOWTEXT));
  text_colours_[static_cast<std::size_t>(Control::txtOriginal)] =
      high_contrast_ ? GetSysColor(COLOR_WINDOWTEXT)
                     : colorref_of(readable_on(text, rgb_of(input_back_)));

  // The output box's bitmap stands at the box's own top-left corner.
  const TwipsRect& output = spec_of(Control::picConverted).twips;
  const COLORREF ink =
      high_contrast_
          ? GetSysColor(COLOR_WINDOWTEXT)
          : colorref_of(readable_on(text, darkest_in_art(output_bitmap_, output, output,
                                                         rgb_of(GetSysColor(COLOR_WINDOW)))));
  text_colours_[static_cast<std::size_t>(Control::picConverted)] = ink;
  set_output_look(control(Control::picConverted), high_contrast_ ? nullptr : output_bitmap_, ink,
                  dpi_);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form1::paint_background(HDC dc) {
  // The bitmap is larger than the client area and covers it: drawn unscaled
  // at 96 DPI and grown with the DPI, as the twips are. None in high contrast.
  if (high_contrast_ || !draw_artwork(dc, background_, dpi_)) {
    RECT all;
    GetClientRect(hwnd_, &all);
    FillRect(dc, &all,
             GetSysColorBrush(high_contrast_ ? COLOR_BTNFACE : static_cast<int>(form1_colour)));
  }
}

bool Form1::route_key(const MSG& message) {
  if (!hwnd_ || (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd))) return false;
  if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
    // The control holding the focus (a list's edit line stands for its list).
    HWND focus = GetFocus();
    while (focus && GetParent(focus) != hwnd_) focus = GetParent(focus);
    std::size_t at = 0;
    while (at < controls_.size() && controls_[at] != focus) ++at;
    if (at < controls_.size() && form1_controls[at].kind == ControlKind::list)
      SendMessageW(controls_[at], CB_SHOWDROPDOWN, FALSE, 0);
    // Labels take no focus; the others follow their tab indexes round.
    const bool back = GetKeyState(VK_SHIFT) < 0;
    const std::size_t n = controls_.size();
    for (std::size_t step = 1; step <= n; ++step) {
      const std::size_t next = at >= n ? (back ? n - step : step - 1) % n
                                       : (back ? at + n - step : at + step) % n;
      const ControlSpec& design = form1_controls[next];
      if (design.kind == ControlKind::label) continue;
      SetFocus(controls_[next]);
      // As in a dialog, text met by Tab is selected whole, ready to retype.
      if (design.kind == ControlKind::list)
        SendMessageW(controls_[next], CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
      else if (design.kind == ControlKind::text_box)
        SendMessageW(controls_[next], EM_SETSEL, 0, -1);
      break;
    }
    return true;
  }
  if (message.message == WM_SYSCHAR) {
    // Alt with an access key presses its button, wherever the focus is.
    const wint_t key = std::towupper(static_cast<wint_t>(message.wParam));
    for (std::size_t i = 0; i < form1_controls.size(); ++i)
      if (form1_controls[i].kind == ControlKind::button &&
          static_cast<wint_t>(access_key(form1_controls[i].caption)) == key) {
        SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(control_id(static_cast<Control>(i)), BN_CLICKED),
                     reinterpret_cast<LPARAM>(controls_[i]));
        return true;
      }
  }
  return false;
}

LRESULT CALLBACK Form1::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!form) return DefWindowProcW(hwnd, message, wparam, lparam);
  try {
    return form->handle(hwnd, message, wparam, lparam);
  } catch (const std::exception& e) {
    // Nothing may unwind through Windows' own frames; say what stopped the
    // action and go on.
    MessageBoxW(hwnd, widen(e.what()).c_str(), widen(form1_caption).c_str(), MB_OK | MB_ICONERROR);
    return 0;
  }
}

LRESULT Form1::handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
  case WM_COMMAND: {
    // Only the four handlers react; IDOK and IDCANCEL (Enter and Escape in
    // a dialog) mean nothing here.
    const int id = LOWORD(wparam) - control_id(Control::cboType); // the first row
    const int code = HIWORD(wparam);
    if (id == static_cast<int>(Control::cboType) && code == CBN_SELCHANGE) cboType_click();
    else if (code == CBN_EDITCHANGE)
      PostMessageW(hwnd_, keep_typed, 0, lparam);
    else if (code == CBN_DROPDOWN) {
      typed_before_drop_ = window_wide_text(reinterpret_cast<HWND>(lparam));
      PostMessageW(hwnd_, keep_typed, 1, lparam);
    }
    else if (code == CBN_KILLFOCUS && id >= 0 && id < static_cast<int>(controls_.size()))
      // A list left behind shows no selected text, as every other box.
      SendMessageW(controls_[static_cast<std::size_t>(id)], CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
    else if (id == static_cast<int>(Control::cmdConvert) && code == BN_CLICKED) cmdConvert_click();
    else if (id == static_cast<int>(Control::cmdExit) && code == BN_CLICKED) cmdExit_click();
    return 0;
  }
  case keep_typed: {
    // A list marks the first item its typed text starts with, ignoring
    // case, and on dropping puts that item's text in place of the typed
    // one. Typed text stays as typed and only a choice counts, so once the
    // list has done so its text is put back and the mark removed.
    HWND list = reinterpret_cast<HWND>(lparam);
    if (wparam == 1 && window_wide_text(list) != typed_before_drop_)
      SetWindowTextW(list, typed_before_drop_.c_str());
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(list, &info))
      SendMessageW(info.hwndList, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    return 0;
  }
  case WM_ERASEBKGND:
    paint_background(reinterpret_cast<HDC>(wparam));
    return 1;
  case WM_CTLCOLORSTATIC: {
    // Labels are transparent over the artwork, in their readable colours.
    HWND from = reinterpret_cast<HWND>(lparam);
    for (std::size_t i = 0; i < controls_.size(); ++i)
      if (controls_[i] == from && form1_controls[i].kind == ControlKind::label) {
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, text_colours_[i]);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
    break;
  }
  case WM_CTLCOLOREDIT:
    if (reinterpret_cast<HWND>(lparam) == control(Control::txtOriginal)) {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, label_colour(Control::txtOriginal));
      SetBkColor(dc, input_back_);
      return reinterpret_cast<LRESULT>(input_brush_);
    }
    break;
  case WM_SYSCOLORCHANGE:
    // Colours chosen anew: the common controls hear of it from their parent.
    for (HWND c : controls_) SendMessageW(c, WM_SYSCOLORCHANGE, wparam, lparam);
    apply_look();
    break;
  case WM_SETTINGCHANGE:
    // High contrast turned on or off; its colours come with WM_SYSCOLORCHANGE.
    if (high_contrast_on() != high_contrast_) apply_look();
    break;
  case WM_DPICHANGED: {
    // Moved to a screen of another DPI: the suggested rectangle keeps the
    // designed size there, and the controls and fonts follow.
    const RECT* r = reinterpret_cast<const RECT*>(lparam);
    SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    place(HIWORD(wparam));
    apply_look();
    return 0;
  }
  case WM_ACTIVATE:
    // The focus comes back where it was when the window was left.
    if (LOWORD(wparam) == WA_INACTIVE) {
      focus_ = GetFocus();
    } else if (focus_ && IsChild(hwnd_, focus_)) {
      SetFocus(focus_);
      return 0;
    }
    break;
  case WM_DESTROY:
    // The only window is gone: the program ends.
    hwnd_ = nullptr;
    PostQuitMessage(0);
    return 0;
  case WM_NCDESTROY:
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void Form1::load() {
  fill(control(Control::cboType), category_names());
}

void Form1::cboType_click() {
  HWND from = control(Control::cboOriginal), to = control(Control::cboConverted);
  clear(from);
  clear(to);
  // The chosen item: while the choice is reported the edit line may still
  // show the text it had before.
  HWND type = control(Control::cboType);
  const LRESULT chosen = SendMessageW(type, CB_GETCURSEL, 0, 0);
  const std::string category = chosen == CB_ERR ? window_text(type) : narrow(item_text(type, chosen));
  const UnitLists units = units_of(category);
  fill(from, units.sources);
  fill(to, units.targets);
}

void Form1::cmdConvert_click() {
  HWND output = control(Control::picConverted);
  SetWindowTextW(output, L"");
  try {
    const double result =
        convert(window_text(control(Control::txtOriginal)),
                window_text(control(Control::cboOriginal)), window_text(control(Control::cboConverted)));
    SetWindowTextW(output, widen(display_form(result)).c_str());
  } catch (const ArithmeticFault& fault) {
    show_fault(fault);
  }
}

void Form1::cmdExit_click() {
  DestroyWindow(hwnd_);
}

// An arithmetic fault leaves the output box cleared and says what happened;
// the window goes on with everything the user typed.
void Form1::show_fault(const ArithmeticFault& fault) {
  const std::wstring text =
      widen(fault_name(fault.kind())) + L"\n\n" + widen(fault_advice(fault.kind()));
  MessageBoxW(hwnd_, text.c_str(), widen(form1_caption).c_str(), MB_OK | MB_ICONERROR);
}

int message_loop(Form1& form) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (form.route_key(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

} // namespace tavrin::ui
