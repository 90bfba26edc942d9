// Drives the real Form1 of Tavrin.exe under Wine (or Windows) as a user
// does: keys go to the focused control, buttons are clicked with the mouse,
// and results are read back with WM_GETTEXT, and as screen readers read
// them, through Active Accessibility (oleacc).
#include "accessible.hpp"
#include "form1.hpp"
#include "heard.hpp"
#include "readable.hpp"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

using tavrin::ui::Control;
using tavrin::ui::Form1;
using tavrin::ui::window_text;

namespace {

using tavrin::test::Heard;
using tavrin::test::heard;

// A message box seen while an action ran: what it said, then closed with OK.
struct SeenBox {
  std::string caption, text;
};
SeenBox seen_box;

BOOL CALLBACK close_if_message_box(HWND window, LPARAM found) {
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  if (std::wstring(cls) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  seen_box = {window_text(window), window_text(GetDlgItem(window, 0xFFFF))};
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

void CALLBACK answer_message_box(HWND, UINT, UINT_PTR timer, DWORD) {
  bool found = false;
  EnumThreadWindows(GetCurrentThreadId(), close_if_message_box, reinterpret_cast<LPARAM>(&found));
  if (found) KillTimer(nullptr, timer);
}

// The context menu seen while it was open: its entries, then "Copy" chosen by keyboard.
std::vector<std::string> seen_menu;

void CALLBACK choose_from_menu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = FindWindowW(L"#32768", nullptr);
  if (!popup) return;
  KillTimer(nullptr, timer);
  seen_menu.clear();
  if (auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)))
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
      seen_menu.push_back(tavrin::ui::narrow(text));
    }
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
}

// The events screen readers were sent about client areas: what, for which
// window and which child.
std::vector<std::tuple<DWORD, HWND, LONG>> heard_events;

void CALLBACK hear_event(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                         DWORD) {
  if (object == OBJID_CLIENT) heard_events.emplace_back(event, window, child);
}

// The worst contrast of what was drawn over the output box: the colour most
// of the changed pixels took (the ink) against every other colour the box
// showed before. 0 when nothing changed.
double worst_contrast(const std::vector<COLORREF>& under, const std::vector<COLORREF>& drawn) {
  std::map<COLORREF, int> inks;
  for (std::size_t i = 0; i < under.size(); ++i)
    if (under[i] != drawn[i]) ++inks[drawn[i]];
  if (inks.empty()) return 0;
  const auto rgb = [](COLORREF c) {
    return tavrin::ui::Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
  };
  const COLORREF ink = std::max_element(inks.begin(), inks.end(), [](auto& a, auto& b) {
                         return a.second < b.second;
                       })->first;
  double worst = 21;
  for (COLORREF c : under)
    if (c != ink) worst = std::min(worst, tavrin::ui::contrast_ratio(rgb(ink), rgb(c)));
  return worst;
}

// Whether the user chose high contrast, as the window asks Windows. Wine
// always answers "off" and cannot be told otherwise (SPI_SETHIGHCONTRAST
// fails there), so the test answers in its place: it points this program's
// import of SystemParametersInfoW at `pretend_high_contrast` while on.
using SpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
SpiFunction real_spi = nullptr;

BOOL WINAPI pretend_high_contrast(UINT action, UINT param, PVOID data, UINT ini) {
  if (action != SPI_GETHIGHCONTRAST || !data) return real_spi(action, param, data, ini);
  auto* setting = static_cast<HIGHCONTRASTW*>(data);
  setting->dwFlags = HCF_AVAILABLE | HCF_HIGHCONTRASTON;
  setting->lpszDefaultScheme = nullptr;
  return TRUE;
}

void answer_high_contrast(bool on) {
  const auto real = reinterpret_cast<ULONG_PTR>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoW"));
  real_spi = reinterpret_cast<SpiFunction>(real);
  const auto fake = reinterpret_cast<ULONG_PTR>(&pretend_high_contrast);
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const auto& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       dll->Name; ++dll)
    for (auto* slot = reinterpret_cast<ULONG_PTR*>(base + dll->FirstThunk); *slot; ++slot)
      if (*slot == (on ? real : fake)) {
        DWORD was = 0;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was);
        *slot = on ? fake : real;
        VirtualProtect(slot, sizeof *slot, was, &was);
      }
}

std::string clipboard_text() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "<clipboard busy>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = tavrin::ui::narrow(static_cast<const wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

class Form1Test : public ::testing::Test {
protected:
  std::unique_ptr<Form1> form;
  bool ended = false;

  void SetUp() override {
    form = std::make_unique<Form1>(GetModuleHandleW(nullptr));
    form->show(SW_SHOWNORMAL);
    pump();
  }
  void TearDown() override {
    form.reset();
    pump();
  }

  HWND c(Control which) const { return form->control(which); }
  std::string text(Control which) const { return window_text(c(which)); }

  // Runs every waiting message through the window's own loop.
  void pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) {
        ended = true;
        continue;
      }
      if (form && form->route_key(m)) continue;
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }

  // A key pressed and released with the focus where it is.
  void press(WPARAM key) {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    pump();
  }
  // Alt with a letter.
  void press_alt(wchar_t letter) {
    PostMessageW(GetFocus(), WM_SYSCHAR, letter, static_cast<LPARAM>(1u << 29 | 1u));
    pump();
  }
  void type(const std::wstring& text) {
    for (wchar_t ch : text) PostMessageW(GetFocus(), WM_CHAR, ch, 1);
    pump();
  }
  // Clicks into a control and types over its text.
  void type_into(Control which, const std::wstring& text) {
    click(which);
    if (which == Control::txtOriginal) SendMessageW(c(which), EM_SETSEL, 0, -1);
    else SendMessageW(c(which), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    type(text);
  }
  void click(Control which) {
    RECT r;
    GetClientRect(c(which), &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    HWND target = c(which);
    if (HWND edit = FindWindowExW(target, nullptr, L"Edit", nullptr)) target = edit; // a list's edit line
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(target, WM_LBUTTONUP, 0, at);
    pump();
  }
  // Chooses an item of a list with the arrow keys, as a user does without the mouse.
  void choose(Control list, const char* item) {
    HWND box = c(list);
    SetFocus(box);
    pump();
    const auto items = items_of(list);
    int wanted = -1;
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i] == item) wanted = static_cast<int>(i);
    ASSERT_GE(wanted, 0) << item;
    for (int step = 0; step < 100; ++step) {
      const auto at = static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0));
      if (at == wanted) return;
      press(at < wanted ? VK_DOWN : VK_UP);
    }
    FAIL() << "could not reach " << item;
  }
  std::vector<std::string> items_of(Control list) const {
    std::vector<std::string> out;
    const auto n = SendMessageW(c(list), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
      std::wstring t(static_cast<std::size_t>(SendMessageW(c(list), CB_GETLBTEXTLEN, i, 0)), L'\0');
      SendMessageW(c(list), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(t.data()));
      out.push_back(tavrin::ui::narrow(t));
    }
    return out;
  }
  std::string focused() const {
    HWND f = GetFocus();
    while (f && GetParent(f) != form->hwnd()) f = GetParent(f);
    for (std::size_t i = 0; i < tavrin::ui::form1_controls.size(); ++i)
      if (form->control(static_cast<Control>(i)) == f)
        return std::string(tavrin::ui::form1_controls[i].name);
    return "(none)";
  }
  void set_up(const char* category, const char* from, const char* to, const std::wstring& value) {
    choose(Control::cboType, category);
    choose(Control::cboOriginal, from);
    choose(Control::cboConverted, to);
    type_into(Control::txtOriginal, value);
  }
  // Convert after an action that shows a message box: the box is read and closed.
  void convert_expecting_message() {
    seen_box = {};
    SetTimer(nullptr, 0, 20, answer_message_box);
    click(Control::cmdConvert);
  }
  // The output box's pixels as drawn on the screen, row by row.
  std::vector<COLORREF> output_pixels() {
    HWND box = c(Control::picConverted);
    pump();
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(box, &r);
    HDC dc = GetDC(box);
    std::vector<COLORREF> out;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) out.push_back(GetPixel(dc, x, y));
    ReleaseDC(box, dc);
    return out;
  }
};

TEST_F(Form1Test, StartsAtItsPlaceAndSizeWithTheCategoriesListedAndNothingChosen) {
  HWND w = form->hwnd();
  EXPECT_EQ(window_text(w), "Tavrin");
  const auto style = GetWindowLongW(w, GWL_STYLE);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_NE(GetClassLongPtrW(w, GCLP_HICON), 0);
  RECT client;
  GetClientRect(w, &client);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  const int dpi = GetDeviceCaps(GetDC(nullptr), LOGPIXELSY);
  EXPECT_EQ(client.right, tavrin::ui::twips_to_pixels(4740, dpi));
  EXPECT_EQ(client.bottom, tavrin::ui::twips_to_pixels(2130, dpi));
  EXPECT_EQ(origin.x, tavrin::ui::twips_to_pixels(735, dpi));
  EXPECT_EQ(origin.y, tavrin::ui::twips_to_pixels(1425, dpi));

  // Every control at its place and size in the table (a list: its closed box).
  for (std::size_t i = 0; i < tavrin::ui::form1_controls.size(); ++i) {
    const auto& design = tavrin::ui::form1_controls[i];
    RECT r;
    GetWindowRect(form->control(static_cast<Control>(i)), &r);
    MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
    const auto px = [&](int t) { return static_cast<int>(tavrin::ui::twips_to_pixels(t, dpi)); };
    EXPECT_EQ(r.left, px(design.twips.left)) << design.name;
    EXPECT_EQ(r.top, px(design.twips.top)) << design.name;
    EXPECT_EQ(r.right - r.left, px(design.twips.width)) << design.name;
    EXPECT_EQ(r.bottom - r.top, px(design.twips.height)) << design.name;
  }

  const auto categories = items_of(Control::cboType);
  ASSERT_EQ(categories.size(), 15u);
  EXPECT_EQ(categories.front(), "Length");
  EXPECT_EQ(categories.back(), "Low Pressure");
  for (Control empty : {Control::cboType, Control::cboOriginal, Control::txtOriginal,
                        Control::cboConverted, Control::picConverted})
    EXPECT_EQ(text(empty), "");
  EXPECT_TRUE(items_of(Control::cboOriginal).empty());
  // No length limit on anything typed (Windows' default is 30000 characters).
  for (Control typed : {Control::cboType, Control::cboOriginal, Control::cboConverted}) {
    HWND edit = FindWindowExW(c(typed), nullptr, L"Edit", nullptr);
    EXPECT_GE(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
  }
  EXPECT_GE(SendMessageW(c(Control::txtOriginal), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
  EXPECT_EQ(text(Control::Label4), "Select Type of Units");
  // Screen readers name each list after the static text just before it.
  for (const tavrin::ui::LabelFor& pair : tavrin::ui::form1_labels) {
    EXPECT_EQ(GetWindow(c(pair.named), GW_HWNDPREV), c(pair.label))
        << tavrin::ui::spec_of(pair.named).name;
    EXPECT_EQ(window_text(c(pair.label)), tavrin::ui::spec_of(pair.named).accessible_name)
        << tavrin::ui::spec_of(pair.named).name;
  }
  EXPECT_EQ(text(Control::cmdExit), "E&xit");
  EXPECT_EQ(focused(), "cboType");
}

TEST_F(Form1Test, ChoosingTorqueFillsBothListsWithTheirOwnSpellingsOnceHoweverOftenChosen) {
  choose(Control::cboType, "Torque");
  EXPECT_EQ(items_of(Control::cboOriginal).back(), "Inch Pound");
  EXPECT_EQ(items_of(Control::cboConverted).back(), "Inch pound");
  choose(Control::cboOriginal, "Foot Pound");
  choose(Control::cboType, "Speed");
  choose(Control::cboType, "Torque");
  EXPECT_EQ(items_of(Control::cboOriginal).size(), 4u);
  EXPECT_EQ(items_of(Control::cboConverted).size(), 4u);
  EXPECT_EQ(text(Control::cboOriginal), "");
  EXPECT_EQ(text(Control::cboConverted), "");
}

TEST_F(Form1Test, ATypedCategoryAndEnterChangeNothing) {
  choose(Control::cboType, "Length");
  choose(Control::cboOriginal, "Inches");
  type_into(Control::cboType, L"Torque");
  press(VK_RETURN);
  press(VK_TAB);
  EXPECT_EQ(text(Control::cboType), "Torque");
  EXPECT_EQ(items_of(Control::cboType).size(), 15u);
  EXPECT_EQ(items_of(Control::cboOriginal).size(), 8u);
  EXPECT_EQ(text(Control::cboOriginal), "Inches");
}

TEST_F(Form1Test, TheTypicalRunPrintsThirtyPointFourEightAndTypedNamesCountOnlyExactly) {
  set_up("Length", "Inches", "Centimetres", L"12");
  click(Control::cmdConvert);
  EXPECT_EQ(text(Control::picConverted), "30.48");
  EXPECT_EQ(text(Control::txtOriginal), "12");

  type_into(Control::cboOriginal, L"inches");
  press(VK_RETURN);
  press(VK_F4); // the list opens on "Inches" and closes again
  press(VK_F4);
  click(Control::cmdConvert);
  EXPECT_EQ(text(Control::cboOriginal), "inches");
  EXPECT_EQ(text(Control::picConverted), "0");

  type_into(Control::cboOriginal, L"Inches");
  type_into(Control::txtOriginal, L"12\u00d7 \u00e9t\u00e9"); // typed text outside ASCII
  click(Control::cmdConvert);
  EXPECT_EQ(text(Control::picConverted), "30.48");
  EXPECT_EQ(text(Control::txtOriginal), "12\u00d7 \u00e9t\u00e9");
}

TEST_F(Form1Test, EnterAndEscapeDoNothingAltCConvertsAndAltXEnds) {
  set_up("Temperature", "Degrees Celcius", "Degrees Fahrenheit", L"100");
  for (Control where : {Control::txtOriginal, Control::cmdConvert, Control::cmdExit}) {
    SetFocus(c(where));
    press(VK_RETURN);
    press(VK_ESCAPE);
  }
  EXPECT_TRUE(IsWindow(form->hwnd()));
  EXPECT_FALSE(ended);
  EXPECT_EQ(text(Control::picConverted), "");

  SetFocus(c(Control::txtOriginal));
  press_alt(L'c');
  EXPECT_EQ(text(Control::picConverted), "212");
  EXPECT_EQ(focused(), "txtOriginal");
  type_into(Control::txtOriginal, L"0");
  SetFocus(c(Control::cmdConvert));
  press(VK_SPACE);
  EXPECT_EQ(text(Control::picConverted), "32");

  press_alt(L'X');
  EXPECT_EQ(form->hwnd(), nullptr);
  EXPECT_TRUE(ended);
}

TEST_F(Form1Test, TabVisitsTheControlsInOrderAndRoundAgain) {
  const std::vector<std::string> order = {"cboType",      "cboOriginal", "txtOriginal",
                                          "cboConverted", "picConverted", "cmdConvert",
                                          "cmdExit"};
  std::vector<std::string> seen;
  for (std::size_t i = 0; i < 2 * order.size(); ++i) {
    seen.push_back(focused());
    press(VK_TAB);
  }
  std::vector<std::string> twice = order;
  twice.insert(twice.end(), order.begin(), order.end());
  EXPECT_EQ(seen, twice);
}

TEST_F(Form1Test, AnOverflowSaysSoLeavesTheBoxClearedAndTheNextConvertWorks) {
  set_up("Length", "Kilometres", "Millimetres", L"1");
  click(Control::cmdConvert);
  EXPECT_EQ(text(Control::picConverted), "1000000");
  type_into(Control::txtOriginal, L"1E+308");
  convert_expecting_message();
  EXPECT_EQ(seen_box.caption, "Tavrin");
  EXPECT_EQ(seen_box.text.rfind("Overflow", 0), 0u) << seen_box.text;
  EXPECT_NE(seen_box.text.find("everything typed is kept"), std::string::npos);
  EXPECT_EQ(text(Control::picConverted), "");
  EXPECT_EQ(text(Control::txtOriginal), "1E+308");
  EXPECT_EQ(text(Control::cboOriginal), "Kilometres");
  EXPECT_TRUE(IsWindow(form->hwnd()));
  type_into(Control::txtOriginal, L"2");
  click(Control::cmdConvert);
  EXPECT_EQ(text(Control::picConverted), "2000000");
}

TEST_F(Form1Test, ThePrintedLineSurvivesARepaintAndCtrlCOrTheMenuCopiesIt) {
  const auto empty = output_pixels();
  set_up("Length", "Inches", "Centimetres", L"12");
  click(Control::cmdConvert);
  const auto printed = output_pixels();
  EXPECT_NE(printed, empty);
  ShowWindow(form->hwnd(), SW_HIDE);
  ShowWindow(form->hwnd(), SW_SHOW);
  pump();
  EXPECT_EQ(output_pixels(), printed);

  click(Control::picConverted); // takes the focus, converts nothing
  EXPECT_EQ(focused(), "picConverted");
  EXPECT_EQ(text(Control::picConverted), "30.48");
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  PostMessageW(GetFocus(), WM_CHAR, 3, 1); // Ctrl+C
  pump();
  EXPECT_EQ(clipboard_text(), "30.48");

  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  SetTimer(nullptr, 0, 20, choose_from_menu);
  PostMessageW(c(Control::picConverted), WM_CONTEXTMENU,
               reinterpret_cast<WPARAM>(c(Control::picConverted)), -1);
  pump();
  EXPECT_EQ(seen_menu, std::vector<std::string>{"Copy"});
  EXPECT_EQ(clipboard_text(), "30.48");
}

TEST_F(Form1Test, ScreenReadersReadTheResultAsNamedReadOnlyTextAndHearOfItOncePerConversion) {
  for (Control named : {Control::txtOriginal, Control::picConverted})
    EXPECT_EQ(heard(c(named)).name, tavrin::ui::spec_of(named).accessible_name);
  HWND box = c(Control::picConverted);
  Heard before = heard(box);
  EXPECT_EQ(before.role, ROLE_SYSTEM_TEXT);
  EXPECT_EQ(before.value, "");
  EXPECT_EQ(before.state & (STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED),
            STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE);

  HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_NAMECHANGE, tavrin::ui::event_live_region_changed, nullptr,
                      hear_event, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  set_up("Length", "Inches", "Centimetres", L"12");
  heard_events.clear();
  click(Control::cmdConvert); // clears the box, then prints
  const std::vector<std::tuple<DWORD, HWND, LONG>> once = {
      {EVENT_OBJECT_VALUECHANGE, box, CHILDID_SELF},
      {tavrin::ui::event_live_region_changed, box, tavrin::ui::line_child}};
  EXPECT_EQ(heard_events, once);
  const Heard after = heard(box);
  EXPECT_EQ(after.name, "Converted value");
  EXPECT_EQ(after.value, "30.48");
  EXPECT_EQ(after.role, ROLE_SYSTEM_TEXT);
  const Heard line = heard(box, tavrin::ui::line_child); // what the live region speaks
  EXPECT_EQ(line.name, "30.48");
  EXPECT_EQ(line.role, ROLE_SYSTEM_STATICTEXT);
  click(Control::picConverted);
  EXPECT_TRUE(heard(box).state & STATE_SYSTEM_FOCUSED);

  type_into(Control::txtOriginal, L"1E+308");
  heard_events.clear();
  convert_expecting_message();
  EXPECT_EQ(heard_events, once);
  const Heard overflowed = heard(box);
  EXPECT_EQ(overflowed.name, "Converted value");
  EXPECT_EQ(overflowed.value, "");
  const Heard cleared = heard(box, tavrin::ui::line_child);
  EXPECT_EQ(cleared.name, "");
  EXPECT_EQ(cleared.role, ROLE_SYSTEM_STATICTEXT);
  UnhookWinEvent(hook);
}

TEST_F(Form1Test, TheResultAndItsFocusRingReadOverTheArtworkInDarkColoursAndInHighContrast) {
  HWND box = c(Control::picConverted);
  set_up("Length", "Inches", "Centimetres", L"12");
  // Dark colours, as Windows' own dark high-contrast theme: white text on black.
  const std::vector<int> elements = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
  const std::vector<COLORREF> dark = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0),
                                      RGB(255, 255, 255)};
  std::vector<COLORREF> chosen;
  for (int e : elements) chosen.push_back(GetSysColor(e));
  enum Look { chosen_colours, dark_colours, high_contrast };
  for (Look look : {chosen_colours, dark_colours, high_contrast}) {
    if (look == dark_colours)
      SetSysColors(static_cast<int>(elements.size()), elements.data(), dark.data());
    if (look == high_contrast) { // as Windows announces it
      answer_high_contrast(true);
      SendMessageW(form->hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    }
    SetFocus(c(Control::cmdConvert));
    SetWindowTextW(box, L"");
    const auto empty = output_pixels();
    click(Control::cmdConvert);
    const auto printed = output_pixels();
    SetFocus(box);
    const auto focused = output_pixels();
    EXPECT_GE(worst_contrast(empty, printed), 4.5) << look;
    EXPECT_GE(worst_contrast(printed, focused), 4.5) << look;
  }
  // High contrast: no artwork; the box in the window colour with its line in
  // the window text colour, the window and its labels in the button colours.
  const auto printed = output_pixels();
  const auto white = std::count(printed.begin(), printed.end(), RGB(255, 255, 255));
  EXPECT_GT(white, 0);
  EXPECT_EQ(std::count(printed.begin(), printed.end(), RGB(0, 0, 0)) + white,
            static_cast<std::ptrdiff_t>(printed.size()));
  EXPECT_EQ(form->label_colour(Control::Label3), RGB(255, 255, 255));
  HDC dc = GetDC(form->hwnd());
  EXPECT_EQ(GetPixel(dc, 300, 5), RGB(0, 0, 0)); // clear of every control
  SetSysColors(static_cast<int>(elements.size()), elements.data(), chosen.data());
  answer_high_contrast(false);
  SendMessageW(form->hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  RedrawWindow(form->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_NE(GetPixel(dc, 300, 5), GetSysColor(COLOR_BTNFACE)); // the artwork again
  ReleaseDC(form->hwnd(), dc);
}

TEST_F(Form1Test, EveryLabelReadsOverTheArtworkBehindIt) {
  HBITMAP art = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  DIBSECTION d{};
  ASSERT_EQ(GetObjectW(art, sizeof d, &d), static_cast<int>(sizeof d));
  EXPECT_EQ(d.dsBm.bmWidth, 361);
  EXPECT_EQ(d.dsBm.bmHeight, 298);
  EXPECT_EQ(d.dsBm.bmBitsPixel, 32);
  for (Control label : {Control::Label1, Control::Label2, Control::Label3, Control::Label4}) {
    const COLORREF t = form->label_colour(label);
    const tavrin::ui::Rgb ink{GetRValue(t), GetGValue(t), GetBValue(t)};
    const auto& r = tavrin::ui::spec_of(label).twips;
    for (int y = r.top / 15; y < (r.top + r.height) / 15; ++y)
      for (int x = r.left / 15; x < (r.left + r.width) / 15; ++x) {
        const auto* p = static_cast<const BYTE*>(d.dsBm.bmBits) +
                        (d.dsBm.bmHeight - 1 - y) * d.dsBm.bmWidthBytes + 4 * x;
        ASSERT_GE(tavrin::ui::contrast_ratio(ink, {p[2], p[1], p[0]}), 4.5)
            << tavrin::ui::spec_of(label).name << " at " << x << "," << y;
      }
  }
  DeleteObject(art);
}

} // namespace
